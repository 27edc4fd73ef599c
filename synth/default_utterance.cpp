#include "synth/default_utterance.h"

#include <vector>

namespace vt {
namespace {

constexpr int kSections = 17;

// Area functions from the glottis (section 0) to the lips (section 16), cm².
// /a/: narrow lower pharynx, wide front oral cavity and lip opening.
constexpr double kA[kSections] = {1.0, 0.8, 0.6, 0.5, 0.5, 0.6, 0.8, 1.2, 2.0,
                                  3.0, 4.0, 5.0, 5.5, 6.0, 6.0, 5.0, 4.0};
// /s/: tongue body forward (wide pharynx), tongue tip against the alveolar
// ridge (0.08 cm² at section 14), small front cavity behind the teeth and lips.
constexpr double kS[kSections] = {1.0, 1.2, 1.8, 2.5, 3.0, 3.5,  3.5, 3.2, 2.8,
                                  2.2, 1.6, 1.0, 0.6, 0.3, 0.08, 0.5, 1.0};

}  // namespace

Score defaultUtterance() {
  Score s;
  s.nss = ScoreMatrix::scalar(kSections);
  // Glottal baseline area, cm²: slightly open while voicing, abducted to
  // 0.35 cm² for the voiceless /s/, closed at the end.
  s.TAg0 = ScoreMatrix::fromRows({{0, 40, 190, 250, 370, 430, 650, 700},
                                  {0.03, 0.03, 0.03, 0.35, 0.35, 0.03, 0.03, 0.0},
                                  {1, 1, 1, 2, 1, 2, 1, 2}});
  // Glottal pulse amplitude, cm²: voicing onset, off for /s/, voicing offset.
  s.TAgP = ScoreMatrix::fromRows({{0, 40, 180, 240, 380, 440, 620, 700},
                                  {0.0, 0.18, 0.18, 0.0, 0.0, 0.18, 0.18, 0.0},
                                  {1, 2, 1, 2, 1, 2, 1, 2}});
  // Fundamental frequency, Hz.
  s.TF0 =
      ScoreMatrix::fromRows({{0, 60, 200, 450, 700}, {120, 140, 135, 130, 100}, {1, 2, 2, 2, 2}});
  // Key frames: /a/ held, cosine move to /s/, /s/ held, cosine move back to
  // /a/, /a/ held; frication source one junction past the constriction.
  s.TAF1 =
      ScoreMatrix::fromRows({{0, 150, 240, 360, 450, 700}, {1, 1, 2, 1, 2, 1}, {1, 1, 1, 1, 1, 1}});
  const double* frames[] = {kA, kA, kS, kS, kA, kA};
  std::vector<std::vector<double>> rows(kSections, std::vector<double>(6));
  for (int l = 0; l < kSections; ++l)
    for (int m = 0; m < 6; ++m) rows[l][m] = frames[m][l];
  s.TAF2 = ScoreMatrix::fromRows(rows);
  s.dx = ScoreMatrix::scalar(1.0);  // 17 sections of 1 cm
  s.hasFs = true;
  s.fs = ScoreMatrix::scalar(10000);
  return s;
}

}  // namespace vt
