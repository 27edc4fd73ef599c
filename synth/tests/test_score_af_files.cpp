// Key frames of a score taken from VT area-function files ("TAF2_files").
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "artic/tests/scratch_dir.h"
#include "synth/quorvel_cli.h"
#include "synth/score_json.h"

namespace vt {
namespace {

using testing::ScratchDir;

/// Two key frames of 4 sections; the first frame's areas and lengths are
/// given by `frame1`, the second is inline.
std::string score(const std::string& frame1) {
  return R"({"nss": 4, "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
  "TAgP": [[0, 30], [0.2, 0.2], [1, 1]], "TF0": [[0, 30], [130, 130], [1, 1]],
  "TAF1": [[0, 30], [1, 2], [1, 1]], )" +
         frame1 + "}";
}
const std::string kInline =
    R"("TAF2": [[1, 2], [2.5, 2], [3, 2], [0.2, 2]], "dx": [[1.25, 1], [1.25, 1], [1.25, 1], [1.25, 1]])";
const std::string kFromFile =
    R"("TAF2_files": ["tracts/s.txt", null], "TAF2": [[0, 2], [0, 2], [0, 2], [0, 2]], "dx": 1)";

/// Runs the command-line synthesiser on a score with --raw; returns its exit
/// status, stderr in err.
int cli(const std::string& scorePath, std::string& err) {
  const char* argv[] = {"quorvel", scorePath.c_str(), "--raw"};
  std::ostringstream out, e;
  const int rc = runQuorvelCli(3, argv, out, e);
  err = e.str();
  return rc;
}

std::string bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ScoreAreaFunctionFiles, FileFrameGivesTheSamplesOfTheInlineFrame) {
  ScratchDir dir;
  dir.write("tracts/s.txt", "s 4 1.25\n1.0 2.5 3.0 0.2\n3\n");
  std::string err;
  ASSERT_EQ(cli(dir.write("inline.json", score(kInline)), err), 0) << err;
  ASSERT_EQ(cli(dir.write("file.json", score(kFromFile)), err), 0) << err;
  const std::string a = bytes(dir.path("inline.wav")), b = bytes(dir.path("file.wav"));
  EXPECT_GT(a.size(), 1000u);
  EXPECT_EQ(a, b);

  // With a file for every frame, TAF2 and dx may be left out.
  dir.write("tracts/a.txt", "a 4 1.0 2 2 2 2");
  Score s;
  ASSERT_TRUE(loadScore(
      dir.write("all.json", score(R"("TAF2_files": ["tracts/s.txt", "tracts/a.txt"])")), s, err))
      << err;
  EXPECT_EQ(s.TAF2, ScoreMatrix::fromRows({{1, 2}, {2.5, 2}, {3, 2}, {double(0.2f), 2}}));
  EXPECT_EQ(s.dx, ScoreMatrix::fromRows({{1.25, 1}}));
}

TEST(ScoreAreaFunctionFiles, BadFilesAreErrorsAndLeaveNoOutput) {
  ScratchDir dir;
  dir.write("tracts/three.txt", "t 3 1.0 1 2 3 1");
  const std::pair<std::string, std::string> cases[] = {
      {R"("TAF2_files": ["tracts/none.txt", null], "TAF2": [[0, 2], [0, 2], [0, 2], [0, 2]], "dx": 1)",
       "TAF2_files entry 1: AF path, " + dir.path("tracts/none.txt") + ", not found"},
      {R"("TAF2_files": [null, "tracts/three.txt"], "TAF2": [[1, 0], [1, 0], [1, 0], [1, 0]], "dx": 1)",
       "TAF2_files entry 2: " + dir.path("tracts/three.txt") +
           ": Unexpected number of VT sections (the file holds 3, nss is 4)"},
      {R"("TAF2_files": ["tracts/three.txt", null])", "TAF2: missing; it may be left out only"},
      {R"("TAF2_files": ["tracts/three.txt"], "TAF2": [[0, 2]], "dx": 1)",
       "TAF2_files: 1 entry, but TAF1 has 2 key frames"},
  };
  for (const auto& [fields, expected] : cases) {
    std::string err;
    EXPECT_EQ(cli(dir.write("bad.json", score(fields)), err), 1);
    EXPECT_NE(err.find(expected), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("bad.wav")));
  }
}

}  // namespace
}  // namespace vt
