// Score files and the command-line synthesiser; failures leave no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sndfile.h>
#include <sys/stat.h>

#include "artic/tests/scratch_dir.h"
#include "synth/default_utterance.h"
#include "synth/quorvel_cli.h"
#include "synth/score_json.h"
#include "synth/tests/cli_runner.h"

namespace fs = std::filesystem;

namespace vt {
namespace {

const char* const kShortScore = R"({"nss": 4, "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
  "TAgP": [[0, 30], [0.2, 0.2], [1, 1]], "TF0": [[0, 30], [130, 130], [1, 1]],
  "TAF1": [[0, 30], [1, 1], [1, 1]], "TAF2": [[1, 1], [2, 2], [3, 3], [2, 2]], "dx": 1})";
const std::string kTAg0 = "[[0, 30], [0.05, 0.05], [1, 1]]";

/// The short score with its first `from` replaced by `to`.
std::string edited(const std::string& from, const std::string& to) {
  std::string t = kShortScore;
  t.replace(t.find(from), from.size(), to);
  return t;
}

TEST(ScoreJson, MatricesAreListsOfRowsAsInTheShippedExample) {
  Score file, s;
  std::string err;
  ASSERT_TRUE(loadScore(std::string(VT_SOURCE_DIR) + "/examples/asa.json", file, err)) << err;
  EXPECT_EQ(file, defaultUtterance());
  ASSERT_TRUE(parseScore(scoreToJson(defaultUtterance()), s, err)) << err;
  EXPECT_EQ(s, defaultUtterance());
  // A flat list is one row; VCV without fs brings the default rate as argument 8.
  ASSERT_TRUE(parseScore(edited("\"dx\": 1", "\"dx\": [1, 2], \"VCV\": 1"), s, err)) << err;
  EXPECT_EQ(s.dx, ScoreMatrix::fromRows({{1, 2}}));
  EXPECT_EQ(s.args().size(), 9u);
  EXPECT_EQ(s.fs, ScoreMatrix::scalar(10000));
}

/// Runs the command line with files in a fresh scratch directory.
class QuorvelCli : public ::testing::Test {
 protected:
  int cli(std::vector<std::string> args) { return testing::runCli(std::move(args), out_, err_); }
  bool said(const std::string& what) const {
    return (out_.str() + err_.str()).find(what) != std::string::npos;
  }
  std::vector<float> readWav(const std::string& name, SF_INFO& info) const {
    info = SF_INFO{};
    SNDFILE* f = sf_open(dir_.path(name).c_str(), SFM_READ, &info);
    if (f == nullptr) return {};
    std::vector<float> x(info.frames);
    sf_read_float(f, x.data(), info.frames);
    sf_close(f);
    return x;
  }

  testing::ScratchDir dir_;
  std::ostringstream out_, err_;
};

TEST_F(QuorvelCli, WavAtTheScoresRateScaledAsAsked) {
  const std::string score = dir_.write("v.json", kShortScore);
  ASSERT_EQ(cli({score, "--raw"}), 0) << err_.str();  // default name: v.wav
  SF_INFO info;
  readWav("v.wav", info);  // the samples themselves: CLI vs MEX in Octave
  EXPECT_EQ(info.samplerate, 10000);
  EXPECT_EQ(info.frames, 301);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);

  ASSERT_EQ(cli({dir_.write("vcv.json", edited("\"dx\": 1", "\"dx\": 1, \"VCV\": 1"))}), 0);
  EXPECT_EQ(out_.str().rfind("nAcc[0]\n", 0), 0u) << out_.str();

  ASSERT_EQ(cli({"-o", dir_.path("n.wav")}), 0) << err_.str();  // built-in utterance, normalised
  float peak = 0.0f;
  for (float v : readWav("n.wav", info)) peak = std::max(peak, std::fabs(v));
  EXPECT_EQ(info.frames, 7001);
  EXPECT_FLOAT_EQ(peak, 0.9f);

  ASSERT_EQ(cli({"--pcm16", "--gain", "100", "-o", dir_.path("c.wav")}), 0) << err_.str();
  readWav("c.wav", info);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_TRUE(said("samples clipped")) << err_.str();
  EXPECT_EQ(cli({"--raw", "--normalize"}), 2);
  EXPECT_EQ(cli({"--gain", "1e40", "-o", dir_.path("c.wav")}), 2);  // was a file of infinities
  // A finite factor that takes the peak (1.15) beyond single precision, too.
  EXPECT_EQ(cli({"--gain", "3.4e38", "-o", dir_.path("i.wav")}), 1);
  EXPECT_TRUE(said("beyond single precision (3.4e38): the float file would hold infinite"))
      << err_.str();
  EXPECT_FALSE(std::filesystem::exists(dir_.path("i.wav")));
}

TEST_F(QuorvelCli, FailuresLeaveNoFileAndNeverReplaceInputsOrDevices) {
  const std::string out = dir_.path("out.wav");
  const std::pair<std::string, std::string> cases[] = {
      {"{\"nss\": 4,", "malformed JSON"},
      {edited("\"dx\"", "\"dxx\""), "unknown field \"dxx\""},
      {edited(", \"dx\": 1", ""), "missing field \"dx\""},
      {edited(kTAg0, "[[0, 30], [0.05], [1, 1]]"), "TAg0: row 2 has 1 numbers but row 1 has 2"},
      {edited(kTAg0, "[[0, 30], [0.05, \"a\"], [1, 1]]"), "TAg0: row 2, entry 2 is a string"},
      {edited("4", "null"), "nss: expected a number or a list of rows, got null"},
      {edited("4", "1e999"), "malformed JSON"},  // beyond double range: was an abort
      {edited("\"dx\": 1", "\"dx\": 1, \"nss\": 5"), "field \"nss\" is given twice"},
      {edited(kTAg0, "[[0, 30], [0.05, 0.05]]"),
       "quorvel argument checking failed. TAg0 must have 3 rows"},
      {edited("\"dx\": 1", "\"dx\": 1, \"fs\": 200000.5"), "fs = 200000.5 Hz"},
      {edited("\"dx\": 1", "\"dx\": 1, \"fs\": 0"),
       "quorvel argument checking failed. fs must be a finite frequency above 0 Hz"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(cli({dir_.write("bad.json", text), "-o", out}), 1) << text;
    EXPECT_TRUE(said(message)) << err_.str();
  }
  EXPECT_EQ(cli({"/dev/zero", "-o", out}), 1);  // read whole, it exhausted the memory
  EXPECT_TRUE(said("it is a device")) << err_.str();
  EXPECT_EQ(cli({"-o", ""}), 2);                               // not the default name
  for (const auto& e : fs::directory_iterator(dir_.path("")))  // no output, no partial file
    EXPECT_EQ(e.path().filename(), "bad.json");

  // An existing file survives a failed run untouched.
  dir_.write("out.wav", "keep");
  EXPECT_EQ(cli({dir_.path("bad.json"), "-o", out}), 1);
  EXPECT_EQ(fs::file_size(out), 4u);

  // A FIFO (like a device) is not replaced by a regular file.
  ASSERT_EQ(::mkfifo(dir_.path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(cli({"-o", dir_.path("fifo")}), 1);
  EXPECT_TRUE(said("not a regular file") && fs::is_fifo(dir_.path("fifo"))) << err_.str();

  // An output naming the score (by another spelling too) leaves the score as it was.
  const std::string score = dir_.write("v.json", kShortScore);
  EXPECT_EQ(cli({score, "-o", dir_.path("./v.json")}), 1);
  EXPECT_TRUE(said("is the input file")) << err_.str();
  EXPECT_EQ(fs::file_size(score), std::string(kShortScore).size());
}

TEST_F(QuorvelCli, RefusalsNameTheScoreAndComeBeforeTheWork) {
  const std::string score = dir_.path("s.json");
  const std::string who = "quorvel: " + score + ": ";
  const std::pair<std::string, std::string> cases[] = {
      {edited("[130, 130]", "[130, -130]"), "TF0 row 2, column 2: F0 (Hz) -130 is negative"},
      {edited("\"dx\": 1", "\"dx\": 0"), "dx row 1, column 1: section length 0 cm must be above 0"},
      {edited("[[1, 1], [2, 2]", "[[1e39, 1], [2, 2]"),
       "TAF2 row 1, column 1: area (cm^2) 1e+39 lies beyond"},
      // A one-frame TAF1 written as a flat list is told how to write it.
      {edited("[[0, 30], [1, 1], [1, 1]]", "[0, 1, -1]"),
       "TAF1 must have 3 rows (it has 1): one column [time ms; kind; source junction] per key "
       "frame. A single column is written as three rows of one number each: \"TAF1\": [[0], "
       "[1], [-1]] (a flat list is one row)."},
      {"{\"nss\": 4,", "malformed JSON"},
  };
  for (const auto& [text, message] : cases) {
    dir_.write("s.json", text);
    EXPECT_EQ(cli({score, "-o", dir_.path("s.wav")}), 1) << text;
    EXPECT_EQ(err_.str().rfind(who, 0), 0u) << err_.str();
    EXPECT_TRUE(said(message)) << err_.str();
  }
  // Outputs that cannot be created are refused before the synthesis (a
  // missing directory failed only after it).
  dir_.write("s.json", kShortScore);
  EXPECT_EQ(cli({score, "-o", dir_.path("no/such/dir/s.wav")}), 1);
  EXPECT_TRUE(said(who + "cannot create the output file")) << err_.str();
  EXPECT_EQ(cli({score, "-o", dir_.path("s.mp3")}), 1);
  EXPECT_TRUE(said("must end in .wav, .flac or .aiff")) << err_.str();
  // So is a --signals file that cannot be created (a directory of its name):
  // it failed after the pressure file was written, with "quorvel:" alone.
  fs::create_directory(dir_.path("t.lip_flow.wav"));
  EXPECT_EQ(cli({score, "--signals", "lip_flow", "-o", dir_.path("t.wav")}), 1);
  EXPECT_TRUE(said(who + "cannot write the output file \"" + dir_.path("t.lip_flow.wav")))
      << err_.str();
  EXPECT_FALSE(fs::exists(dir_.path("t.wav")));
  fs::remove(dir_.path("t.lip_flow.wav"));
  EXPECT_EQ(cli({score, "--gain", "0"}), 2);  // a file of silence
  EXPECT_TRUE(said("--gain 0 would write silence")) << err_.str();
  ASSERT_EQ(cli({score, "--pcm16", "-o", dir_.path("s.flac")}), 0) << err_.str();
  EXPECT_TRUE(said("16-bit PCM")) << out_.str();
  for (const auto& e : fs::directory_iterator(dir_.path("")))
    EXPECT_TRUE(e.path().filename() == "s.json" || e.path().filename() == "s.flac") << e.path();
}

TEST_F(QuorvelCli, DivergenceIsAFailureUnlessAllowed) {
  // Areas alternating between 1000 cm^2 and a closure every sample (a final
  // key-frame segment of one sample): the network diverges at sample 24.
  const std::string score =
      dir_.write("d.json", R"({"nss": 4, "TAg0": [[0, 100], [0.05, 0.05], [1, 1]],
      "TAgP": [[0, 100], [0.2, 0.2], [1, 1]], "TF0": [[0, 100], [130, 130], [1, 1]],
      "TAF1": [[0, 0.1], [1, 2], [1, 1]], "TAF2": [[1, 1000], [2, 1000], [3, 0.001], [2, 1000]],
      "dx": 1})");
  // It wrote a WAV file of NaN and exited 0, with a warning.
  EXPECT_EQ(cli({score}), 1);
  EXPECT_TRUE(said("quorvel: " + score + ": ") && said("the first is sample ") &&
              said("nothing was written") && said("Numerical limits") && said("--allow-nonfinite"))
      << err_.str();
  EXPECT_FALSE(fs::exists(dir_.path("d.wav")));
  EXPECT_EQ(cli({score, "--allow-nonfinite"}), 0) << err_.str();
  EXPECT_TRUE(said("warning: ") && fs::exists(dir_.path("d.wav"))) << err_.str();
}

TEST_F(QuorvelCli, HelpDocumentsTheFormatWithAWorkingExample) {
  ASSERT_EQ(cli({"--help"}), 0);
  const std::string help = out_.str();
  const std::size_t from = help.find("  {\n"), to = help.find("\n  }\n");
  ASSERT_NE(from, std::string::npos);
  EXPECT_EQ(cli({dir_.write("ex.json", help.substr(from, to + 4 - from))}), 0) << err_.str();
  EXPECT_TRUE(said("4801 samples")) << out_.str();  // 0.3 s at 16 kHz
}

}  // namespace
}  // namespace vt
