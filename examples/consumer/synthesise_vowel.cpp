// Synthesises a sustained /a/ (0.3 s at 10 kHz) with the installed quorvel
// library: the area function of examples/tracts/a.txt, a Fant glottal pulse
// at 120 Hz. Prints the release, the number of samples and the peak sound
// pressure; exit status 1 if the synthesis is refused or the output is silent
// or not finite.
#include <cmath>
#include <cstdio>
#include <string>

#include "quorvel_version.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

#ifndef QUORVEL_TRACTS_DIR
#define QUORVEL_TRACTS_DIR "."
#endif

int main(int argc, char** argv) {
  const std::string tracts = argc > 1 ? argv[1] : QUORVEL_TRACTS_DIR;
  // Glottal baseline 0.05 cm², pulse amplitude 0.2 cm² rising and falling
  // with a raised cosine, F0 falling from 120 to 100 Hz; both key frames are
  // the /a/ of the vowel library, so the tract holds still.
  const std::string score = R"({
    "nss": 17,
    "TAg0": [[0, 300], [0.05, 0.05], [1, 1]],
    "TAgP": [[0, 50, 250, 300], [0, 0.2, 0.2, 0], [1, 2, 1, 2]],
    "TF0":  [[0, 300], [120, 100], [1, 1]],
    "TAF1": [[0, 300], [1, 1], [-1, -1]],
    "TAF2_files": ["a.txt", "a.txt"]
  })";
  vt::Score s;
  std::string err;
  if (!vt::parseScore(score, s, err, tracts)) {
    std::fprintf(stderr, "synthesise_vowel: %s\n", err.c_str());
    return 1;
  }
  vt::QuorvelSession session;
  const std::vector<vt::ArgView> args = s.args();
  const vt::SynthesisOutcome out =
      session.synthesize(1, static_cast<int>(args.size()), args.data());
  if (out.status != 0) {
    std::fprintf(stderr, "synthesise_vowel: %s\n", out.error.c_str());
    return 1;
  }
  double peak = 0.0;
  bool finite = true;
  for (float v : out.samples) {
    finite = finite && std::isfinite(v);
    peak = std::fmax(peak, std::fabs(v));
  }
  std::printf("quorvel %s: %zu samples, peak %.4g dyn/cm^2\n", vt::kQuorvelVersion,
              out.samples.size(), peak);
  return finite && peak > 0.0 ? 0 : 1;
}
