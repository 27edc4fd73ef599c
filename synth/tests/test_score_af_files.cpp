// Key frames of a score taken from VT area-function files ("TAF2_files").
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "artic/tests/scratch_dir.h"
#include "synth/quorvel_cli.h"

namespace vt {
namespace {

/// Score of two key frames of 4 sections, the first frame's areas and lengths given by frame1.
std::string score(const std::string& frame1) {
  return R"({"nss": 4, "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
  "TAgP": [[0, 30], [0.2, 0.2], [1, 1]], "TF0": [[0, 30], [130, 130], [1, 1]],
  "TAF1": [[0, 30], [1, 2], [1, 1]], )" +
         frame1 + "}";
}

/// Exit status of the command-line synthesiser on a score (--raw); stderr in err.
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
  testing::ScratchDir dir;
  dir.write("tracts/s.txt", "s 4 1.25\n1.0 2.5 3.0 0.2\n3\n");
  const std::string fromFile =
      R"("TAF2_files": ["tracts/s.txt", null], "TAF2": [[0, 2], [0, 2], [0, 2], [0, 2]], "dx": 1)";
  std::string err;
  ASSERT_EQ(cli(dir.write("inline.json", score(R"("TAF2": [[1, 2], [2.5, 2], [3, 2], [0.2, 2]],
  "dx": [[1.25, 1], [1.25, 1], [1.25, 1], [1.25, 1]])")),
                err),
            0)
      << err;
  ASSERT_EQ(cli(dir.write("file.json", score(fromFile)), err), 0) << err;
  const std::string a = bytes(dir.path("inline.wav"));
  EXPECT_TRUE(a.size() > 1000u && a == bytes(dir.path("file.wav")));

  // A missing file is an error that leaves no output.
  std::filesystem::remove(dir.path("tracts/s.txt"));
  EXPECT_EQ(cli(dir.write("bad.json", score(fromFile)), err), 1);
  EXPECT_NE(err.find("TAF2_files entry 1: AF path, " + dir.path("tracts/s.txt") + ", not found"),
            std::string::npos)
      << err;
  EXPECT_FALSE(std::filesystem::exists(dir.path("bad.wav")));

  // A zero character cut the name short: "tracts/a.txt\u0000x" read tracts/a.txt.
  dir.write("tracts/a.txt", "a 4 1.25\n1.0 2.5 3.0 0.2\n");
  EXPECT_EQ(cli(dir.write("nul.json", score(R"("TAF2_files": ["tracts/a.txt\u0000x", null],
  "TAF2": [[0, 2], [0, 2], [0, 2], [0, 2]], "dx": 1)")),
                err),
            1);
  EXPECT_NE(err.find("TAF2_files: entry 1 contains a zero character"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(dir.path("nul.wav")));
}

}  // namespace
}  // namespace vt
