// quorvel formants and quorvel tracks, and the worked examples they read:
// the library's vowels give their formants, the tracks of a vowel sequence
// and of a lip closure say where the vowels and the closure are.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/tract_analysis.h"
#include "artic/tests/scratch_dir.h"
#include "artic/vtaf_file.h"
#include "synth/quorvel_cli.h"
#include "synth/score_json.h"
#include "synth/tests/cli_runner.h"

namespace vt {
namespace {

const std::string kRoot = VT_SOURCE_DIR;

class AnalysisCommands : public ::testing::Test {
 protected:
  int cli(std::vector<std::string> args) { return testing::runCli(std::move(args), out_, err_); }
  /// Rows of a CSV file, split into cells.
  static std::vector<std::vector<std::string>> csv(const std::string& path) {
    std::ifstream f(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(f, line);) {
      std::vector<std::string> cells;
      std::stringstream ss(line);
      for (std::string c; std::getline(ss, c, ',');) cells.push_back(c);
      rows.push_back(cells);
    }
    return rows;
  }
  std::ostringstream out_, err_;
  testing::ScratchDir dir_;
};

TEST_F(AnalysisCommands, FormantsOfALibraryVowelAndRefusedFiles) {
  const std::string a = kRoot + "/examples/tracts/vowels/a_story1996_17.txt";
  ASSERT_EQ(cli({"formants", a, "--count", "3"}), 0) << err_.str();
  const auto F = analysis::TractAnalysis(readVTAFContents(a, false).sections).formants(5000);
  std::istringstream lines(out_.str());
  std::string head, cols, name;
  std::getline(lines, head), std::getline(lines, cols);
  for (int k = 0; k < 3; ++k) {
    double f = 0, b = 0;
    lines >> name >> f >> b;
    EXPECT_EQ(name, "F" + std::to_string(k + 1));
    EXPECT_NEAR(f, F[k].frequency_hz, 0.01);
    EXPECT_NEAR(b, F[k].bandwidth_hz, 0.01);
  }
  EXPECT_GT(F[0].frequency_hz, 700.0);  // /ɑ/: high F1, low F2
  EXPECT_LT(F[1].frequency_hz, 1300.0);

  EXPECT_EQ(cli({"formants", dir_.path("missing.txt")}), 1);
  EXPECT_NE(err_.str().find("not found"), std::string::npos);
  EXPECT_EQ(cli({"formants", dir_.write("neg.txt", "v 3 1.0 1.0 -2.0 3.0")}), 1);
  EXPECT_NE(err_.str().find("area of section 1"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"formants", dir_.write("len.txt", "v 3 -1.0 1.0 2.0 3.0")}), 1);
  EXPECT_NE(err_.str().find("section length"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"formants", dir_.write("nan.txt", "v 3 1.0 1.0 nan 3.0")}), 1);
  EXPECT_NE(err_.str().find("must be a finite number"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"formants", dir_.write("none.txt", "v 0 1.0")}), 1);
  EXPECT_NE(err_.str().find("no sections given"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"formants", a, "--warp", "8000"}), 1);  // below twice the 5000 Hz limit
  EXPECT_EQ(cli({"formants"}), 2);
  EXPECT_EQ(cli({"formants", a, "--count", "0"}), 2);
}

TEST_F(AnalysisCommands, FormantsWithANasalBranchAndRefusedBranches) {
  const std::string a = kRoot + "/examples/tracts/vowels/a_story1996_17.txt";
  const std::string nasal =
      R"({"areas": [0.4, 0.4, 0.4, 1.5, 2, 2, 2, 2, 2, 1.5, 1, 1, 1], "lengths": 0.8,
          "branch_section": 8, "coupling_sections": 3})";
  ASSERT_EQ(cli({"formants", a, "--nasal", dir_.write("n.json", nasal), "--count", "9"}), 0)
      << err_.str();
  analysis::NasalBranch nb;
  nb.branch_section = 8;
  for (float A : {0.4f, 0.4f, 0.4f, 1.5f, 2.f, 2.f, 2.f, 2.f, 2.f, 1.5f, 1.f, 1.f, 1.f})
    nb.sections.push_back({A, 0.8f});
  const analysis::TractAnalysis ta(readVTAFContents(a, false).sections, {}, nb);
  const auto F = ta.formants(5000), Z = ta.antiresonances(5000);
  ASSERT_FALSE(Z.empty());
  char line[64];
  std::snprintf(line, sizeof line, "F2 %.2f %.2f\nF3", F[1].frequency_hz, F[1].bandwidth_hz);
  EXPECT_NE(out_.str().find(line), std::string::npos) << out_.str();
  std::snprintf(line, sizeof line, "\nZ1 %.2f %.2f\n", Z[0].frequency_hz, Z[0].bandwidth_hz);
  EXPECT_NE(out_.str().find(line), std::string::npos) << out_.str();

  const std::pair<std::string, std::string> bad[] = {
      {R"({"areas": [1, 1]})", "nasal.lengths: missing"},
      {R"({"areas": [1, "x"], "lengths": 1})", "nasal.areas: entry 2"},
      {R"({"areas": [1, 1], "lengths": [1, 1, 1]})", "nasal.lengths: one length"},
      {R"({"areas": [1, -1], "lengths": 1, "coupling_sections": 1})", "area of section 1"},
      {R"({"areas": [1, 1], "lengths": -1, "coupling_sections": 1})", "length of section 0"},
      {R"({"areas": [], "lengths": 1})", "no sections"},
      {R"({"areas": [1, 1], "lengths": 1, "branch_section": 17})", "velum branch section"},
      {R"({"areas": [1, 1], "lengths": 1, "branch_section": 2.5})", "nasal.branch_section"},
      {R"({"areas": [1, 1], "lengths": 1, "velum": 1})", "unknown field \"velum\""},
      {R"([1, 2])", "expected an object"},
      {R"({"areas": [1, 1], )", "not valid JSON"},
      {dir_.path("none.json"), "cannot read"}};
  for (const auto& [text, message] : bad) {
    err_.str("");
    EXPECT_EQ(cli({"formants", a, "--nasal", text}), 1) << text;
    EXPECT_NE(err_.str().find(message), std::string::npos) << text << ": " << err_.str();
  }
}

TEST_F(AnalysisCommands, TracksOfTheVowelSequenceAndTheLipClosure) {
  const std::string csvPath = dir_.path("aiu.csv"), grid = dir_.path("aiu.TextGrid");
  ASSERT_EQ(cli({"tracks", kRoot + "/examples/worked/aiu.json", "-o", csvPath, "--textgrid", grid}),
            0)
      << err_.str();
  auto rows = csv(csvPath);
  ASSERT_EQ(rows.size(), 142u);  // header + 0..700 ms every 5 ms
  ASSERT_EQ(rows[0].size(), 17u);
  EXPECT_EQ(rows[0][4], "F1_Hz");
  auto at = [&](int ms, int col) { return std::stod(rows[1 + ms / 5][col]); };
  EXPECT_GT(at(70, 4), 700.0);                      // /a/ F1
  EXPECT_GT(at(280, 6), 2000.0);                    // /i/ F2
  EXPECT_LT(at(280, 4), 400.0);                     // /i/ F1
  EXPECT_LT(at(600, 6), 1300.0);                    // /u/ F2
  EXPECT_NEAR(at(100, 2), 0.02 + 0.18 * 0.5, 0.2);  // glottal area within the pulse range
  EXPECT_EQ(at(300, 3), 8.0);                       // lung pressure, cm H2O
  std::ifstream g(grid);
  const std::string text((std::istreambuf_iterator<char>(g)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("intervals: size = 6"), std::string::npos);
  EXPECT_NE(text.find("xmax = 0.7000625"), std::string::npos);  // 11201 samples at 16 kHz
  EXPECT_NE(text.find("text = \"u\""), std::string::npos);

  ASSERT_EQ(cli({"tracks", kRoot + "/examples/worked/aba.json", "-o", csvPath}), 0) << err_.str();
  rows = csv(csvPath);
  EXPECT_EQ(at(290, 14), 16.0);      // the lips are the narrowest section ...
  EXPECT_LE(at(290, 15), 0.001001);  // ... and closed
  EXPECT_LT(at(290, 4), 300.0);      // F1 falls towards the closure
  EXPECT_GT(at(100, 4), 700.0);
}

TEST_F(AnalysisCommands, RefusedScoresLabelsAndOptionsLeaveNoFile) {
  const std::string score = kRoot + "/examples/asa.json", csvPath = dir_.path("t.csv");
  EXPECT_EQ(cli({"tracks", score, "-o", csvPath, "--textgrid"}), 1);  // asa.json has no labels
  EXPECT_NE(err_.str().find("labels"), std::string::npos);
  EXPECT_EQ(cli({"tracks", score, "-o", csvPath, "--every", "0"}), 2);
  EXPECT_EQ(cli({"tracks", score, "-o", score}), 1);  // the output would replace the score
  EXPECT_FALSE(std::filesystem::exists(csvPath));

  Score s;
  std::string err;
  const std::string base = R"({"nss": 2, "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
    "TAgP": [[0, 30], [0.2, 0.2], [1, 1]], "TF0": [[0, 30], [130, 130], [1, 1]],
    "TAF1": [[0, 30], [1, 1], [1, 1]], "TAF2": [[1, 1], [2, 2]], "dx": 1, "labels": )";
  EXPECT_FALSE(parseScore(base + R"(["a"]})", s, err));
  EXPECT_NE(err.find("1 labels for 2 key frames"), std::string::npos) << err;
  EXPECT_FALSE(parseScore(base + R"(["a", 2]})", s, err));
  ASSERT_TRUE(parseScore(base + R"(["a", "b"]})", s, err)) << err;
  Score again;
  ASSERT_TRUE(parseScore(scoreToJson(s), again, err)) << err;
  EXPECT_EQ(again, s);
}

}  // namespace
}  // namespace vt
