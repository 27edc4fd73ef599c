// The typed core: a request built in code, the host-argument front end and the
// score file all reach the same synthesis; the request checks guard the core.
#include <gtest/gtest.h>

#include <vector>

#include "synth/default_utterance.h"
#include "synth/request_checks.h"
#include "synth/score_request.h"
#include "synth/synthesis_core.h"
#include "synth/synthesizer.h"

namespace vt {
namespace {

SynthesisRequest asaRequest() {
  SynthesisRequest rq;
  const CheckOutcome chk = requestFromScore(defaultUtterance(), rq);
  EXPECT_EQ(chk.status, 0) << chk.error;
  return rq;
}

TEST(Synthesizer, TypedRequestGivesTheHostCallsSamples) {
  QuorvelSession host;
  Synthesizer typed;
  const Score asa = defaultUtterance();
  const std::vector<ArgView> a = asa.args();
  for (int call = 0; call < 2; ++call) {  // the state carried across calls as well
    const SynthesisResult viaHost = host.synthesize(1, static_cast<int>(a.size()), a.data());
    const SynthesisResult viaRequest = typed.synthesize(asaRequest());
    ASSERT_EQ(viaHost.status, 0);
    ASSERT_EQ(viaRequest.status, 0) << viaRequest.error;
    EXPECT_EQ(viaHost.samples, viaRequest.samples) << "call " << call;
  }
  // The request keeps the caller's values; a 1 x 1 dx reaches every section.
  const SynthesisRequest rq = asaRequest();
  EXPECT_EQ(rq.nvt, 17);
  EXPECT_EQ(rq.frames.size(), 6u);
  EXPECT_EQ(rq.frames[2].kind, Transition::Cosine);
  EXPECT_EQ(rq.frames[5].lengths_cm, std::vector<double>(17, 1.0));
  EXPECT_EQ(rq.TF0[0].value, 120.0);
}

TEST(Synthesizer, MalformedRequestsAreRefusedWithoutWork) {
  struct Bad {
    const char* what;
    void (*spoil)(SynthesisRequest&);
    const char* message;
  };
  const Bad cases[] = {
      {"no sections", [](SynthesisRequest& r) { r.nvt = 0; }, "nss must give 1 to 40"},
      {"41 sections", [](SynthesisRequest& r) { r.nvt = 41; }, "nss must give 1 to 40"},
      {"no frames", [](SynthesisRequest& r) { r.frames.clear(); }, "TAF1 has no columns"},
      {"short frame", [](SynthesisRequest& r) { r.frames[3].areas_cm2.pop_back(); },
       "key frame 4 holds 16 section areas"},
      {"lengths missing", [](SynthesisRequest& r) { r.frames[0].lengths_cm.clear(); },
       "key frame 1 holds 0 section lengths"},
      {"rate", [](SynthesisRequest& r) { r.smpfrq = -1.0f; }, "fs must be a finite frequency"},
      {"oversampling", [](SynthesisRequest& r) { r.options.oversampling = 0; },
       "oversampling must be at least 1"},
      {"times", [](SynthesisRequest& r) { r.TAgP[2].time_ms = r.TAgP[1].time_ms; },
       "TAgP columns 2 and 3"},
  };
  for (const Bad& b : cases) {
    SynthesisRequest rq = asaRequest();
    b.spoil(rq);
    Synthesizer s;
    const SynthesisResult r = s.synthesize(rq);
    EXPECT_EQ(r.status, 1) << b.what;
    EXPECT_EQ(r.error.rfind(kArgumentCheckFailed, 0), 0u) << b.what << ": " << r.error;
    EXPECT_NE(r.error.find(b.message), std::string::npos) << b.what << ": " << r.error;
    EXPECT_TRUE(r.samples.empty());
  }
}

TEST(Synthesizer, SeedSelectsAnIndependentReproducibleNoiseSequence) {
  SynthesisRequest rq = asaRequest();
  rq.options.seed = 12345u;
  Synthesizer fresh, used;
  ASSERT_EQ(used.synthesize(asaRequest()).status, 0);  // noise state moved on
  const auto a = fresh.synthesize(rq).samples;
  const auto b = used.synthesize(rq).samples;
  EXPECT_EQ(a, b);  // what ran before no longer matters
  rq.options.seed = 54321u;
  EXPECT_NE(Synthesizer().synthesize(rq).samples, a);
  EXPECT_NE(Synthesizer().synthesize(asaRequest()).samples, a);
}

TEST(Synthesizer, SecondGlottalModelAndOversamplingRun) {
  SynthesisRequest rq = asaRequest();
  rq.options.glottis = GlottalModel::Halvane;
  const SynthesisResult halvane = Synthesizer().synthesize(rq);
  ASSERT_EQ(halvane.status, 0);
  EXPECT_NE(halvane.samples, Synthesizer().synthesize(asaRequest()).samples);
  rq = asaRequest();
  rq.options.oversampling = 4;
  const SynthesisResult four = Synthesizer().synthesize(rq);
  ASSERT_EQ(four.status, 0);
  EXPECT_EQ(four.samples.size(), 7001u);
  for (float v : four.samples) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace
}  // namespace vt
