// Mutated scores through the command line (fixed seed): the shipped examples,
// shortened to a tenth of their length, and a score whose network diverges,
// with fields deleted, given other types, other shapes, values the network
// cannot use, huge and negative numbers, extreme sampling rates and output
// options. A run either writes a complete
// file of finite samples and exits 0, or exits 1 with a message that starts
// with the program and the score's name and leaves the output folder empty.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <sndfile.h>
#include <nlohmann/json.hpp>

#include "artic/tests/scratch_dir.h"
#include "synth/tests/cli_runner.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace vt {
namespace {

/// The example scores with every time axis (first row of the tracks, the
/// key frames and the velum) scaled to a tenth: some 700 samples each.
std::vector<json> shortExamples() {
  std::vector<json> scores;
  for (const auto& e : fs::directory_iterator(fs::path(VT_SOURCE_DIR) / "examples")) {
    if (e.path().extension() != ".json") continue;
    json s = json::parse(std::ifstream(e.path()));
    auto shorten = [](json& m) {
      if (!m.is_array() || m.empty() || !m[0].is_array()) return;
      for (json& t : m[0]) t = t.get<double>() / 10;
    };
    for (const char* k : {"TAg0", "TAgP", "TF0", "TAF1"}) shorten(s[k]);
    if (s.contains("model") && s["model"].contains("nasal") && s["model"]["nasal"].is_object() &&
        s["model"]["nasal"].contains("velum"))
      shorten(s["model"]["nasal"]["velum"]);
    if (s.contains("model") && s["model"].contains("Psub")) shorten(s["model"]["Psub"]);
    scores.push_back(std::move(s));
  }
  // Areas alternating between 1000 cm^2 and a closure every sample (a final
  // key-frame segment of one sample): the network diverges.
  scores.push_back(json::parse(R"({"nss": 4, "TAg0": [[0, 10], [0.05, 0.05], [1, 1]],
      "TAgP": [[0, 10], [0.2, 0.2], [1, 1]], "TF0": [[0, 10], [130, 130], [1, 1]],
      "TAF1": [[0, 0.1], [1, 2], [1, 1]], "TAF2": [[1, 1000], [2, 1000], [3, 0.001], [2, 1000]],
      "dx": 1})"));
  return scores;
}

/// Numbers the synthesis cannot use or that sit at its edges. None lengthens
/// a run to more than a few thousand samples unless the output-length check
/// refuses it.
const double kNumbers[] = {0,     -1,     -1e-3,        0.5, 1e-300, 3e38, 1e39, -1e39,
                           1e308, -1e308, 2147483648.0, 41,  1e20,   -0.0, 7};
const json kRates[] = {0,       -1,           1,    8000,  48000,   1e6,
                       44100.5, 2147483648.0, 1e12, 1e300, "10000", json::array({10000, 10000}),
                       nullptr, json::array()};

class Mutator {
 public:
  explicit Mutator(unsigned seed) : rng_(seed) {}
  std::size_t pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

  /// One random change somewhere in the score.
  void mutate(json& score) {
    if (pick(8) == 0) {  // the fields with meanings of their own
      switch (pick(4)) {
        case 0:
          score["fs"] = kRates[pick(std::size(kRates))];
          return;
        case 1:
          score["nss"] = kNumbers[pick(std::size(kNumbers))];
          return;
        case 2:
          score["TAF2_files"] =
              json::array({"tracts/a.txt", std::string("a\0b", 3), "out", ".", "none.txt", 5});
          return;
        default:
          score["signals"] = json::array({pick(2) ? "glottal_flow" : "no_such_signal"});
          return;
      }
    }
    std::vector<json::json_pointer> paths;
    collect(score, json::json_pointer(), paths);
    paths.erase(paths.begin());  // the score stays an object (see the cut files in the test)
    if (paths.empty()) return;
    const json::json_pointer p = paths[pick(paths.size())];
    json& v = score[p];
    switch (pick(6)) {
      case 0: {  // deleted
        json& parent = score[p.parent_pointer()];
        if (parent.is_object()) {
          parent.erase(p.back());
        } else {
          parent.erase(parent.begin() + static_cast<long>(std::stoul(p.back())));
        }
        return;
      }
      case 1: {  // another type
        const json others[] = {nullptr,
                               true,
                               "1",
                               json::object(),
                               json::array(),
                               json::array({json::array()}),
                               json::object({{"x", 1}})};
        v = others[pick(std::size(others))];
        return;
      }
      case 2:  // another shape
        if (v.is_array() && !v.empty()) {
          switch (pick(4)) {
            case 0:
              v.erase(v.begin() + static_cast<long>(pick(v.size())));
              return;
            case 1:
              v.push_back(v[pick(v.size())]);
              return;
            case 2:
              v = v[0];
              return;
            default:
              v = json::array({v});
              return;
          }
        }
        v = json::array({v, v});
        return;
      default:  // a value: numbers and booleans become numbers from the list
        v = kNumbers[pick(std::size(kNumbers))];
        return;
    }
  }

  /// A legal value at the edge of what the network can take: huge or tiny
  /// areas and lengths, F0 far above speech, extreme rates.
  void edge(json& score) {
    auto element = [this](json& m) -> json& {
      json* v = &m;
      while (v->is_array() && !v->empty()) v = &(*v)[pick(v->size())];
      return *v;
    };
    auto valueRow = [](json& m) -> json& { return m.is_array() && m.size() > 1 ? m[1] : m; };
    const double areas[] = {3e38, 1e4, 1e-300, 0, -5};
    auto fill = [](json& row, double v) {
      if (row.is_array())
        for (json& x : row) x = v;
    };
    switch (pick(6)) {
      case 5:  // glottal areas near the single-precision limit pulsed at 100 kHz
        fill(valueRow(score["TAg0"]), 3e38);
        fill(valueRow(score["TAgP"]), 3e38);
        fill(valueRow(score["TF0"]), 1e5);
        return;
      case 0:
        element(score["TAF2"]) = areas[pick(std::size(areas))];
        return;
      case 1:
        element(valueRow(score["TF0"])) = pick(2) ? 1e5 : 3e38;
        return;
      case 2:
        element(valueRow(score["TAgP"])) = pick(2) ? 100 : 3e38;
        return;
      case 3:
        score["dx"] = pick(2) ? 1e-6 : 100;
        return;
      default:
        score["fs"] = pick(2) ? 1 : 48000;
        return;
    }
  }

  /// Output options: file name and flags.
  std::vector<std::string> options(const std::string& outDir) {
    const char* names[] = {"o.wav", "o.flac", "o.aiff", "o.WAV", "o.mp3", "o"};
    std::vector<std::string> a = {"-o", outDir + "/" + names[pick(4) == 0 ? pick(6) : 0]};
    switch (pick(6)) {
      case 0:
        a.push_back("--pcm16");
        break;
      case 1:
        a.push_back("--raw");
        break;
      case 2:
        a.insert(a.end(), {"--gain", "1e30"});
        break;
      case 3:
        a.insert(a.end(), {"--signals", pick(2) ? "lip_flow" : "lip_flow,nothing"});
        break;
      default:
        break;
    }
    return a;
  }

 private:
  static void collect(const json& v, const json::json_pointer& p,
                      std::vector<json::json_pointer>& out) {
    out.push_back(p);
    if (v.is_object()) {
      for (const auto& [k, x] : v.items()) collect(x, p / k, out);
    } else if (v.is_array()) {
      for (std::size_t i = 0; i < v.size(); ++i) collect(v[i], p / i, out);
    }
  }
  std::mt19937 rng_;
};

/// The samples of a sound file; empty with ok false when it cannot be read.
std::vector<float> readSound(const std::string& path, bool& ok) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  ok = f != nullptr;
  if (!ok) return {};
  std::vector<float> x(static_cast<std::size_t>(info.frames));
  ok = sf_read_float(f, x.data(), info.frames) == info.frames;
  sf_close(f);
  return x;
}

TEST(QuorvelCliFuzz, MutatedScoresFailCleanlyOrWriteFiniteFiles) {
  testing::ScratchDir dir;
  fs::copy(fs::path(VT_SOURCE_DIR) / "examples" / "tracts", dir.path("tracts"),
           fs::copy_options::recursive);
  const std::string outDir = dir.path("out");
  fs::create_directory(outDir);
  const std::vector<json> examples = shortExamples();
  ASSERT_GE(examples.size(), 5u);
  Mutator m(20101);
  int accepted = 0, refused = 0, diverged = 0;
  std::ostringstream out, err;
  const int kRuns = 2400;
  for (int run = 0; run < kRuns; ++run) {
    json score = examples[m.pick(examples.size())];
    for (std::size_t k = 1 + m.pick(3); k > 0; --k) {
      if (m.pick(3) == 0) {
        m.edge(score);
      } else {
        m.mutate(score);
      }
    }
    std::string text = score.dump();
    if (m.pick(50) == 0) text.resize(m.pick(text.size()));  // a file cut short
    const std::string scorePath = dir.write("score.json", text);
    std::vector<std::string> args = m.options(outDir);
    args.insert(args.begin(), scorePath);
    const int status = testing::runCli(args, out, err);
    SCOPED_TRACE("run " + std::to_string(run) + " " + args.back() + ": " + text);
    std::vector<fs::path> left;
    for (const auto& e : fs::directory_iterator(outDir)) left.push_back(e.path());
    if (status == 0) {
      ++accepted;
      ASSERT_FALSE(left.empty());
      bool ok = false;
      const std::vector<float> x = readSound(args[2], ok);
      ASSERT_TRUE(ok) << args[2] << " cannot be read";
      for (float v : x) ASSERT_TRUE(std::isfinite(v)) << "exit 0 with a non-finite sample";
      for (const fs::path& f : left) {
        const std::string n = f.filename().string();
        ASSERT_TRUE(n.find(".part") == std::string::npos && n.rfind("o.", 0) == 0) << n;
        fs::remove(f);
      }
    } else {
      ++refused;
      ASSERT_EQ(status, 1) << err.str();
      ASSERT_EQ(err.str().rfind("quorvel: " + scorePath + ": ", 0), 0u) << err.str();
      ASSERT_TRUE(left.empty()) << left.front();
      diverged += err.str().find("nothing was written. Likely causes") != std::string::npos;
    }
  }
  std::cout << kRuns << " mutated scores: " << accepted << " written, " << refused << " refused ("
            << diverged << " of them diverged)\n";
}

}  // namespace
}  // namespace vt
