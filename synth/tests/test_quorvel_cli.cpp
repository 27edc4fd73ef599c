// Score files and the command-line synthesiser: JSON shapes and their errors,
// the shipped example, WAV output and its scaling, and that a failure leaves
// no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "synth/default_utterance.h"
#include "synth/quorvel_cli.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

namespace fs = std::filesystem;

namespace vt {
namespace {

const char* const kShortScore = R"({
  "nss": 4,
  "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
  "TAgP": [[0, 30], [0.2, 0.2], [1, 1]],
  "TF0": [[0, 30], [130, 130], [1, 1]],
  "TAF1": [[0, 30], [1, 1], [1, 1]],
  "TAF2": [[1, 1], [2, 2], [3, 3], [2, 2]],
  "dx": 1
})";
const std::string kTAg0 = "[[0, 30], [0.05, 0.05], [1, 1]]";

/// The short score with its first `from` replaced by `to`.
std::string edited(const std::string& from, const std::string& to) {
  std::string t = kShortScore;
  t.replace(t.find(from), from.size(), to);
  return t;
}

TEST(ScoreJson, MatricesAreListsOfRows) {
  Score s;
  std::string err;
  ASSERT_TRUE(parseScore(kShortScore, s, err)) << err;
  // Column-major: [time; value; kind] per column.
  EXPECT_EQ(s.TAg0.values, (std::vector<double>{0, 0.05, 1, 30, 0.05, 1}));
  EXPECT_EQ(s.args().size(), 7u);

  // Row vectors flat or nested, comments, VCV without fs (which brings the
  // default rate along as the eighth argument), empty matrices.
  ASSERT_TRUE(parseScore(edited("\"dx\": 1", "\"dx\": [1, 2], \"VCV\": [[1]], \"_note\": \"x\""),
                         s, err))
      << err;
  EXPECT_EQ(s.dx, ScoreMatrix::fromRows({{1, 2}}));
  EXPECT_EQ(s.VCV, ScoreMatrix::scalar(1));
  EXPECT_EQ(s.fs, ScoreMatrix::scalar(10000));
  EXPECT_EQ(s.args().size(), 9u);
  ASSERT_TRUE(parseScore(edited(kTAg0, "[[], [], []]"), s, err)) << err;
  EXPECT_EQ(s.TAg0.rows, 3u);
  EXPECT_EQ(s.TAg0.cols, 0u);
}

TEST(ScoreJson, ErrorsNameTheProblem) {
  const std::pair<std::string, std::string> cases[] = {
      {"{\"nss\": 4,", "malformed JSON"},
      {"[1, 2]", "a score must be a JSON object"},
      {edited("\"dx\"", "\"dxx\""), "unknown field \"dxx\""},
      {edited(",\n  \"dx\": 1", ""), "missing field \"dx\""},
      {edited(kTAg0, "[[0, 30], [0.05], [1, 1]]"), "TAg0: row 2 has 1 numbers but row 1 has 2"},
      {edited(kTAg0, "[[0, 30], [0.05, \"a\"], [1, 1]]"), "TAg0: row 2, entry 2 is a string"},
      {edited("4", "null"), "nss: expected a number or a list of rows, got null"},
      {edited(kTAg0, "[0, [0.05]]"), "TAg0: entry 2 is a list"},
      {edited("4", "1e999"), "malformed JSON"},  // beyond double range: was an abort
      {edited("\"dx\": 1", "\"dx\": 1, \"nss\": 5"), "field \"nss\" is given twice"},
  };
  for (const auto& [text, message] : cases) {
    Score s;
    std::string err;
    EXPECT_FALSE(parseScore(text, s, err)) << text;
    EXPECT_EQ(err.rfind(message, 0), 0u) << err;
  }
}

TEST(ScoreJson, ShippedExampleIsTheBuiltInUtterance) {
  Score file, back;
  std::string err;
  ASSERT_TRUE(loadScore(std::string(VT_SOURCE_DIR) + "/examples/asa.json", file, err)) << err;
  EXPECT_EQ(file, defaultUtterance());
  ASSERT_TRUE(parseScore(scoreToJson(defaultUtterance()), back, err)) << err;
  EXPECT_EQ(back, defaultUtterance());
}

/// Runs the command line in a fresh temporary directory.
class QuorvelCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quorvel-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(path(name)) << text;
  }
  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), "quorvel");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    out_.str("");
    err_.str("");
    return runQuorvelCli(static_cast<int>(argv.size()), argv.data(), out_, err_);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::vector<float> readWav(const std::string& p, SF_INFO& info) {
    info = SF_INFO{};
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &info);
    EXPECT_NE(f, nullptr) << p;
    if (f == nullptr) return {};
    std::vector<float> x(info.frames);
    sf_read_float(f, x.data(), info.frames);
    sf_close(f);
    return x;
  }

  fs::path dir_;
  std::ostringstream out_, err_;
};

TEST_F(QuorvelCli, RawFloatWavHoldsTheCoreSamplesExactly) {
  write("v.json", kShortScore);
  ASSERT_EQ(cli({path("v.json"), "--raw"}), 0) << err_.str();  // default name: v.wav
  SF_INFO info;
  const std::vector<float> x = readWav(path("v.wav"), info);
  EXPECT_EQ(info.samplerate, 10000);
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  Score s;
  std::string err;
  ASSERT_TRUE(parseScore(kShortScore, s, err));
  QuorvelSession q;
  std::vector<ArgView> a = s.args();
  EXPECT_EQ(x, q.synthesize(1, 7, a.data()).samples);
  EXPECT_NE(out_.str().find("301 samples"), std::string::npos) << out_.str();

  write("vcv.json", edited("\"dx\": 1", "\"dx\": 1, \"VCV\": 1"));
  ASSERT_EQ(cli({path("vcv.json")}), 0) << err_.str();
  EXPECT_EQ(out_.str().rfind("nAcc[0]\n", 0), 0u) << out_.str();
}

TEST_F(QuorvelCli, ScalingAndSixteenBitClipping) {
  ASSERT_EQ(cli({"-o", path("n.wav")}), 0) << err_.str();  // built-in utterance, normalised
  SF_INFO info;
  std::vector<float> x = readWav(path("n.wav"), info);
  ASSERT_EQ(x.size(), 7001u);
  float peak = 0.0f;
  for (float v : x) peak = std::max(peak, std::fabs(v));
  EXPECT_FLOAT_EQ(peak, 0.9f);

  ASSERT_EQ(cli({"--pcm16", "--gain", "100", "-o", path("c.wav")}), 0) << err_.str();
  readWav(path("c.wav"), info);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_NE(err_.str().find("samples clipped"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"--raw", "--normalize"}), 2);
  EXPECT_EQ(cli({"--gain", "1e40", "-o", path("c.wav")}), 2);  // was a file of infinities
}

TEST_F(QuorvelCli, FailuresLeaveNoFile) {
  const std::string out = path("out.wav");
  const struct {
    const char* name;
    std::string text;
    const char* message;
  } cases[] = {
      {"bad.json", "{\"nss\": 17, ", "malformed JSON"},
      {"shape.json", edited(kTAg0, "[[0, 30], [0.05, 0.05]]"),
       "quorvel argument checking failed. TAg0 must have 3 rows"},
      {"rate.json", edited("\"dx\": 1", "\"dx\": 1, \"fs\": 200000.5"), "fs = 200000.5 Hz"},
      {"zero.json", edited("\"dx\": 1", "\"dx\": 1, \"fs\": 0"),
       "quorvel argument checking failed. fs must be a finite frequency above 0 Hz"},
  };
  for (const auto& c : cases) {
    write(c.name, c.text);
    EXPECT_EQ(cli({path(c.name), "-o", out}), 1) << c.name;
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
  }
  EXPECT_EQ(cli({path("missing.json"), "-o", out}), 1);
  EXPECT_NE(err_.str().find("cannot open score file"), std::string::npos);
  EXPECT_EQ(cli({"/dev/zero", "-o", out}), 1);  // read whole, it exhausted the memory
  EXPECT_NE(err_.str().find("it is a device"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"--no-such-option"}), 2);
  EXPECT_EQ(cli({"-o", ""}), 2);  // not the default name
  EXPECT_NE(err_.str().find("-o needs a file name"), std::string::npos) << err_.str();
  EXPECT_EQ(cli({"-o", path("no-such-dir/x.wav")}), 1);
  EXPECT_NE(err_.str().find("cannot create"), std::string::npos) << err_.str();
  EXPECT_EQ(files(), (std::vector<std::string>{"bad.json", "rate.json", "shape.json", "zero.json"}));

  // An existing file survives a failed run untouched.
  write("out.wav", "keep");
  EXPECT_EQ(cli({path("shape.json"), "-o", out}), 1);
  std::string kept;
  std::ifstream(out) >> kept;
  EXPECT_EQ(kept, "keep");

  // A FIFO (like a device) is not replaced by a regular file; a symbolic link
  // stays a link, and the file it names receives the WAV.
  ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(cli({"-o", path("fifo")}), 1);
  EXPECT_NE(err_.str().find("not a regular file"), std::string::npos) << err_.str();
  EXPECT_TRUE(fs::is_fifo(path("fifo")));
  fs::create_symlink("out.wav", path("link.wav"));
  ASSERT_EQ(cli({"-o", path("link.wav")}), 0) << err_.str();
  EXPECT_TRUE(fs::is_symlink(path("link.wav")));
  EXPECT_GT(fs::file_size(out), 4u);
  fs::remove(path("fifo"));
  fs::remove(path("link.wav"));

  // An output naming the score (by another spelling too) leaves the score as it was.
  write("v.json", kShortScore);
  EXPECT_EQ(cli({path("v.json"), "-o", (dir_ / "." / "v.json").string()}), 1);
  EXPECT_NE(err_.str().find("is the input file"), std::string::npos) << err_.str();
  std::ifstream score(path("v.json"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(score), {}), kShortScore);
}

TEST_F(QuorvelCli, HelpDocumentsTheFormatWithAWorkingExample) {
  ASSERT_EQ(cli({"--help"}), 0);
  const std::string help = out_.str();
  for (const char* word : {"TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV", "--pcm16"})
    EXPECT_NE(help.find(word), std::string::npos) << word;
  const std::size_t from = help.find("  {\n"), to = help.find("\n  }\n");
  ASSERT_NE(from, std::string::npos);
  write("ex.json", help.substr(from, to + 4 - from));
  EXPECT_EQ(cli({path("ex.json")}), 0) << err_.str();
  EXPECT_NE(out_.str().find("4801 samples"), std::string::npos) << out_.str();  // 0.3 s at 16 kHz
}

}  // namespace
}  // namespace vt
