// Every combination of the airway switches runs a 1 s vowel-nasal-vowel
// through the command line without a non-finite sample, and --signals writes
// one raw float WAV per signal beside the pressure.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <sndfile.h>

#include "artic/tests/scratch_dir.h"
#include "synth/quorvel_cli.h"
#include "synth/tests/airway_test_support.h"
#include "synth/tests/cli_runner.h"

namespace vt {
namespace {

int cli(std::vector<std::string> args, std::string* errText = nullptr) {
  std::ostringstream out, err;
  const int rc = testing::runCli(std::move(args), out, err);
  if (errText) *errText = err.str();
  return rc;
}

std::vector<float> readWav(const std::string& path, SF_INFO& info) {
  info = SF_INFO{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (f == nullptr) return {};
  std::vector<float> x(info.frames);
  sf_read_float(f, x.data(), info.frames);
  sf_close(f);
  return x;
}

/// The /ama/ example stretched to 1 s: closure 380-620 ms, velum open 380-620 ms.
std::string vcvOneSecond(const std::string& model) {
  return R"({"nss": 22, "dx": 0.79365,
    "TAg0": [[0, 1000], [0.02, 0.02], [1, 1]],
    "TAgP": [[0, 60, 940, 1000], [0, 0.15, 0.15, 0], [1, 2, 1, 2]],
    "TF0": [[0, 500, 1000], [115, 125, 100], [1, 2, 2]],
    "TAF1": [[0, 300, 380, 620, 700, 1000], [1, 1, 2, 1, 2, 1], [1, 1, 1, 1, 1, 1]],
    "TAF2": [[0.325,0.325,0.325,0.325,0.325,0.325], [0.235,0.235,0.235,0.235,0.235,0.235],
      [0.31,0.31,0.31,0.31,0.31,0.31], [0.69,0.69,0.69,0.69,0.69,0.69],
      [0.985,0.985,0.985,0.985,0.985,0.985], [0.51,0.51,0.51,0.51,0.51,0.51],
      [0.27,0.27,0.27,0.27,0.27,0.27], [0.275,0.275,0.275,0.275,0.275,0.275],
      [0.285,0.285,0.285,0.285,0.285,0.285], [0.53,0.53,0.53,0.53,0.53,0.53],
      [1.125,1.125,1.125,1.125,1.125,1.125], [1.855,1.855,1.855,1.855,1.855,1.855],
      [2.67,2.67,2.67,2.67,2.67,2.67], [2.94,2.94,2.94,2.94,2.94,2.94],
      [4.175,4.175,4.175,4.175,4.175,4.175], [5.555,5.555,5.555,5.555,5.555,5.555],
      [6.42,6.42,6.42,6.42,6.42,6.42], [6.105,6.105,6.105,6.105,6.105,6.105],
      [4.99,4.99,4.99,4.99,4.99,4.99], [4.0,4.0,4.0,4.0,4.0,4.0],
      [4.26,4.26,0,0,4.26,4.26], [4.86,4.86,0,0,4.86,4.86]],
    "model": )" +
         model + "}";
}

TEST(AirwaySwitches, EveryCombinationStaysFinite) {
  testing::ScratchDir dir;
  const char* names[] = {"nasal",          "trachea",      "sinus", "walls",
                         "wall_radiation", "dynamic_term", "noise"};
  int runs = 0;
  for (int bits = 0; bits < 128; ++bits) {
    auto on = [&](int i) { return (bits >> i & 1) != 0; };
    if (on(2) && !on(0)) continue;  // the sinus hangs on the nasal branch
    std::string model = "{";
    if (on(0))
      model +=
          std::string(R"("nasal": {"branch_section": 12, "sinus": )") + (on(2) ? "true" : "false") +
          R"(, "velum": [[0, 200, 380, 620, 780, 1000], [0, 0, 1, 1, 0, 0], [1, 1, 2, 1, 2, 1]]}, )";
    for (int i : {1, 3, 4, 5, 6})
      model +=
          std::string("\"") + names[i] + "\": " + (on(i) ? "true" : "false") + (i < 6 ? ", " : "");
    model += "}";
    const std::string score = dir.write("c.json", vcvOneSecond(model));
    std::string err;
    ASSERT_EQ(cli({score, "-o", dir.path("c.wav"), "--raw"}, &err), 0) << model << ": " << err;
    EXPECT_EQ(err.find("not finite"), std::string::npos) << model;
    SF_INFO info;
    const std::vector<float> x = readWav(dir.path("c.wav"), info);
    ASSERT_EQ(x.size(), 10001u) << model;
    std::size_t bad = 0;
    for (float v : x) bad += std::isfinite(v) ? 0 : 1;
    EXPECT_EQ(bad, 0u) << model;
    ++runs;
  }
  EXPECT_EQ(runs, 96);  // 2^7 less the 32 with a sinus but no nasal branch
}

TEST(AirwaySwitches, SignalsBecomeRawFloatFilesBesideThePressure) {
  testing::ScratchDir dir;
  const std::string score = dir.write("ama.json", vcvOneSecond(R"({"nasal": {"branch_section": 12,
          "velum": [[0, 380, 620, 1000], [0, 1, 1, 0], [1, 2, 1, 2]]}})"));
  std::string err;
  ASSERT_EQ(
      cli({score, "--signals", "glottal_flow,nostril_flow", "--signals", "glottal_area"}, &err), 0)
      << err;
  SF_INFO p, g, a;
  const std::vector<float> pressure = readWav(dir.path("ama.wav"), p);
  const std::vector<float> flow = readWav(dir.path("ama.glottal_flow.wav"), g);
  const std::vector<float> area = readWav(dir.path("ama.glottal_area.wav"), a);
  ASSERT_EQ(flow.size(), pressure.size());
  EXPECT_EQ(g.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_GT(meanOf(flow, 2000, 8000), 50.0);  // raw cm³/s, not normalised
  EXPECT_LT(meanOf(area, 2000, 8000), 0.2);   // cm²
  EXPECT_FALSE(readWav(dir.path("ama.nostril_flow.wav"), g).empty());
  // An unknown name is refused before anything is written.
  EXPECT_EQ(cli({score, "-o", dir.path("x.wav"), "--signals", "lung_volume"}, &err), 1);
  EXPECT_NE(err.find("lung_volume"), std::string::npos);
  EXPECT_TRUE(readWav(dir.path("x.wav"), g).empty());
}

}  // namespace
}  // namespace vt
