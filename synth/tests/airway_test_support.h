// Scores with an airway model, synthesised through the score front end.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"

namespace vt {

/// The text of a shipped example score.
inline std::string exampleText(const std::string& name) {
  std::ifstream in(std::string(VT_SOURCE_DIR) + "/examples/" + name);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

/// A score text with `fields` ("\"model\": {...}, ...") added as its first fields.
inline std::string withFields(std::string score, const std::string& fields) {
  return score.insert(score.find('{') + 1, fields + ",");
}

/// Parses and synthesises a score text; status 1 and the message on refusal.
inline SynthesisResult synthesizeScore(const std::string& text) {
  Score score;
  SynthesisResult r;
  r.status = 1;
  if (!parseScore(text, score, r.error, std::string(VT_SOURCE_DIR) + "/examples")) return r;
  SynthesisRequest rq;
  const CheckOutcome chk = requestFromScore(score, rq);
  if (chk.status != 0) {
    r.error = chk.error;
    return r;
  }
  Synthesizer synth;
  return synth.synthesize(rq);
}

/// A steady vowel: constant glottal baseline Ag0 cm², pulse amplitude AgP cm²
/// at 120 Hz, nvt sections of `area` cm² and 1 cm, for dur_ms, with `model`.
inline std::string steadyVowel(double Ag0, double AgP, int nvt, const std::string& areas,
                               double dur_ms, const std::string& model) {
  std::ostringstream s;
  s << "{\"nss\": " << nvt << ", \"TAg0\": [[0, " << dur_ms << "], [" << Ag0 << ", " << Ag0
    << "], [1, 1]], \"TAgP\": [[0, " << dur_ms << "], [" << AgP << ", " << AgP
    << "], [1, 1]], \"TF0\": [[0, " << dur_ms << "], [120, 120], [1, 1]], \"TAF1\": [[0, " << dur_ms
    << "], [1, 1], [1, 1]], \"TAF2\": " << areas << ", \"dx\": 1, \"model\": " << model << "}";
  return s.str();
}

/// TAF2 of nvt sections of `area` cm² in two identical frames.
inline std::string uniformAreas(int nvt, double area) {
  std::ostringstream s;
  s << "[";
  for (int l = 0; l < nvt; ++l) s << (l ? ", " : "") << "[" << area << ", " << area << "]";
  s << "]";
  return s.str();
}

/// Mean of x[from..to).
inline double meanOf(const std::vector<float>& x, std::size_t from, std::size_t to) {
  double m = 0.0;
  for (std::size_t i = from; i < to; ++i) m += x[i];
  return m / static_cast<double>(to - from);
}

}  // namespace vt
