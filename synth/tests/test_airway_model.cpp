// The airway model of a score: its defaults keep quorvel's bits, bad values
// are refused naming the field, internal signals line up with the pressure,
// and the network conserves mass and follows the glottal flow law.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "synth/synthesis_core.h"
#include "synth/tests/airway_test_support.h"

namespace vt {
namespace {

const char* const kAllDefaults =
    R"("model": {"nasal": false, "trachea": false, "walls": {"on": true, "resistance": 1600,
    "mass": 1.5, "stiffness": 300000, "trachea_resistance": 500, "trachea_mass": 0.3,
    "trachea_stiffness": 1000000}, "wall_radiation": false, "dynamic_term": false, "Psub": 8,
    "glottis": {"model": "fant", "open_quotient": 0.36, "close_quotient": 0.26},
    "noise": {"on": true, "gain": 1}, "oversampling": 3})";

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), 4 * a.size()) == 0;
}

TEST(AirwayModel, DefaultModelAndSignalsKeepQuorvelsBits) {
  for (const char* name : {"asa.json", "asa_files.json"}) {
    const std::string text = exampleText(name);
    Score score;
    std::string err;
    ASSERT_TRUE(parseScore(text, score, err, std::string(VT_SOURCE_DIR) + "/examples")) << err;
    QuorvelSession mex;
    const std::vector<ArgView> a = score.args();
    const SynthesisResult ref = mex.synthesize(1, static_cast<int>(a.size()), a.data());
    ASSERT_EQ(ref.status, 0) << ref.error;
    for (const std::string& fields :
         {std::string("\"model\": {}"), std::string(kAllDefaults),
          std::string(kAllDefaults) + R"(, "signals": ["glottal_flow", "lip_flow",
          "mouth_pressure", "subglottal_pressure", "pressure_behind_constriction"])"}) {
      const SynthesisResult r = synthesizeScore(withFields(text, fields));
      ASSERT_EQ(r.status, 0) << r.error;
      EXPECT_TRUE(sameBits(r.samples, ref.samples)) << name << " with " << fields;
    }
  }
}

TEST(AirwayModel, BadValuesAreRefusedNamingTheField) {
  const std::string vowel = steadyVowel(0.05, 0.2, 17, uniformAreas(17, 2.0), 100, "%");
  const struct {
    const char* model;
    const char* field;
  } cases[] = {
      {R"({"nasal": {"branch_section": 17}})", "model.nasal.branch_section"},
      {R"({"nasal": {"branch_section": 0}})", "model.nasal.branch_section"},
      {R"({"nasal": {"coupling_lengths": [0.6, -1]}})", "model.nasal.coupling_lengths"},
      {R"({"nasal": {"coupling_lengths": []}})", "model.nasal.coupling_lengths"},
      {R"({"nasal": {"tract": [[1, 0.5], [1]]}})", "model.nasal.tract"},
      {R"({"nasal": {"tract": [[-1, 0.5]]}})", "model.nasal.tract"},
      {R"({"nasal": {"velum": [[0, 50, 40], [0, 1, 1], [1, 1, 1]]}})", "model.nasal.velum"},
      {R"({"nasal": {"velum": [[0, 50], [0, -1], [1, 1]]}})", "model.nasal.velum"},
      {R"({"nasal": {"velum": [[0, 50], [0, 1]]}})", "model.nasal.velum"},
      {R"({"nasal": {"sinus": {"position": 3}}})", "model.nasal.sinus.position"},
      {R"({"nasal": {"sinus": {"volume": 0}}})", "model.nasal.sinus.volume"},
      {R"({"nasal": {"sinus": {"colour": 1}}})", "model.nasal.sinus"},
      {R"({"nasal": {"vellum": []}})", "model.nasal"},
      {R"({"trachea": {"sections": [[3, 1], [3, 0]]}})", "model.trachea.sections"},
      {R"({"trachea": "yes"})", "model.trachea"},
      {R"({"walls": {"mass": -1}})", "model.walls.mass"},
      {R"({"walls": {"stiffness": "stiff"}})", "model.walls.stiffness"},
      {R"({"wall_radiation": 1})", "model.wall_radiation"},
      {R"({"Psub": -2})", "model.Psub"},
      {R"({"Psub": [[0, 100], [0, 1e9], [1, 1]]})", "model.Psub"},
      {R"({"Psub": [[0, 0], [0, 8], [1, 1]]})", "model.Psub"},
      {R"({"glottis": "rosenberg"})", "model.glottis"},
      {R"({"glottis": {"open_quotient": 0.3, "close_quotient": 0.4}})",
       "model.glottis.close_quotient"},
      {R"({"glottis": {"open_quotient": 0.8, "close_quotient": 0.4}})", "model.glottis"},
      {R"({"noise": {"gain": -1}})", "model.noise.gain"},
      {R"({"noise": {"seed": 1.5}})", "model.noise.seed"},
      {R"({"oversampling": 0})", "model.oversampling"},
      {R"({"lungs": 1})", "model"},
  };
  for (const auto& c : cases) {
    std::string text = vowel;
    text.replace(text.find('%'), 1, c.model);
    const SynthesisResult r = synthesizeScore(text);
    EXPECT_EQ(r.status, 1) << c.model;
    EXPECT_NE(r.error.find(c.field), std::string::npos) << c.model << " gave: " << r.error;
  }
  std::string text = vowel;
  text.replace(text.find('%'), 1, "{}");
  EXPECT_NE(synthesizeScore(withFields(text, R"("signals": ["nostril_flow"])")).error.find("nasal"),
            std::string::npos);
  EXPECT_NE(
      synthesizeScore(withFields(text, R"("signals": ["lung_flow"])")).error.find("lung_flow"),
      std::string::npos);
  // A typed request goes through the same checks.
  SynthesisRequest rq;
  rq.TAg0 = rq.TAgP = rq.TF0 = {{0, 1, Transition::Linear}, {20, 1, Transition::Linear}};
  rq.frames = {KeyFrame{0, Transition::Linear, 1, std::vector<double>(17, 1.0),
                        std::vector<double>(17, 1.0)}};
  rq.options.nasal_tract = true;
  rq.options.nbp = 40;
  Synthesizer synth;
  EXPECT_NE(synth.synthesize(rq).error.find("model.nasal.branch_section"), std::string::npos);
}

TEST(AirwayModel, SignalsAreAlignedPartsOfThePressure) {
  const SynthesisResult r = synthesizeScore(withFields(
      exampleText("ama.json"),
      R"("signals": ["mouth_pressure", "nose_pressure", "glottal_area", "nostril_flow"])"));
  ASSERT_EQ(r.status, 0) << r.error;
  ASSERT_EQ(r.signals.size(), 4u);
  const std::vector<float>& m = r.signals.at("mouth_pressure");
  const std::vector<float>& n = r.signals.at("nose_pressure");
  ASSERT_EQ(m.size(), r.samples.size());
  double peak = 0.0, worst = 0.0;
  for (std::size_t i = 0; i < m.size(); ++i) {
    peak = std::max(peak, std::fabs(double(r.samples[i])));
    worst = std::max(worst, std::fabs(double(r.samples[i]) - m[i] - n[i]));
  }
  EXPECT_LT(worst, 1e-4 * peak);  // the same filter: only single-precision rounding differs
  // The nose radiates during the closure (230-370 ms), the lips do not.
  double mouth = 0, nose = 0;
  for (std::size_t i = 2600; i < 3400; ++i) {
    mouth += double(m[i]) * m[i];
    nose += double(n[i]) * n[i];
  }
  EXPECT_GT(nose, 100 * mouth);
  EXPECT_GT(meanOf(r.signals.at("nostril_flow"), 2600, 3400), 20.0);  // cm³/s
}

TEST(AirwayPhysics, MeanFlowIsConservedThroughTheBranches) {
  // Voiced steady vowels; after 150 ms the mean flows out equal the mean flow in.
  for (const char* model : {"{}", R"({"nasal": {"velum": [[0, 600], [0.4, 0.4], [1, 1]]},
                                       "trachea": true})"}) {
    std::string text = steadyVowel(0.04, 0.15, 17, uniformAreas(17, 2.5), 600, model);
    text = withFields(text, R"("signals": ["glottal_flow", "lip_flow")" +
                                std::string(model[1] == '}' ? "]" : R"(, "nostril_flow"])"));
    const SynthesisResult r = synthesizeScore(text);
    ASSERT_EQ(r.status, 0) << r.error;
    const std::size_t a = 1500, b = 6000;
    const double in = meanOf(r.signals.at("glottal_flow"), a, b);
    double out = meanOf(r.signals.at("lip_flow"), a, b);
    if (r.signals.count("nostril_flow")) out += meanOf(r.signals.at("nostril_flow"), a, b);
    EXPECT_GT(in, 50.0) << model;  // cm³/s: a voiced vowel
    EXPECT_NEAR(out / in, 1.0, 0.01) << model << ": in " << in << ", out " << out;
  }
}

TEST(AirwayPhysics, SteadyOpenGlottisPassesTheFlowOfTheFlowLaw) {
  // Open glottis of 0.1 cm², no pulses, no noise, 8 cm H2O, uniform 3 cm² tract.
  const double Ag = 0.1, Ac = 3.0;
  const SynthesisResult r = synthesizeScore(
      withFields(steadyVowel(Ag, 0.0, 17, uniformAreas(17, Ac), 300, R"({"noise": false})"),
                 R"("signals": ["glottal_flow", "glottal_area"])"));
  ASSERT_EQ(r.status, 0) << r.error;
  const double U = meanOf(r.signals.at("glottal_flow"), 2000, 3000);
  EXPECT_NEAR(meanOf(r.signals.at("glottal_area"), 2000, 3000), Ag * 1.001, 1e-4);
  // Lung pressure = kinetic drop Kc·rho·U²·(1/Ag² + 1/Ac²) + viscous drops of
  // the glottal slit (12 mu lg² xg / Ag³) and of the narrowest section (8 pi mu x / Ac²).
  const double P = 8 * 980.39, Kc = 1.42, rho = 0.00114, mu = 0.000186;
  const double rk = Kc * rho * (1 / (Ag * Ag) + 1 / (Ac * Ac));
  const double rv = 12 * mu * 1.2 * 1.2 * 0.3 / (Ag * Ag * Ag) + 8 * M_PI * mu * 1.0 / (Ac * Ac);
  const double law = (std::sqrt(rv * rv + 4 * rk * P) - rv) / (2 * rk);
  EXPECT_NEAR(U / 1.001, law, 0.01 * law)
      << "network " << U << " cm³/s, law " << law;  // DC gain of the filter
}

}  // namespace
}  // namespace vt
