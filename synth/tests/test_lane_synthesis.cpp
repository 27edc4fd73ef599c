// Requests synthesised together in lanes give, each, what its synthesiser
// gives for it alone: samples to the bit, printed text, signals, errors.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/lane_synthesis.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"

namespace vt {
namespace {

/// /asa/ with every time scaled by `stretch` (a different length).
SynthesisRequest asa(double stretch) {
  SynthesisRequest rq;
  EXPECT_EQ(requestFromScore(defaultUtterance(), rq).status, 0);
  for (ControlTrack* t : {&rq.TAg0, &rq.TAgP, &rq.TF0})
    for (auto& b : *t) b.time_ms *= stretch;
  for (KeyFrame& f : rq.frames) f.time_ms *= stretch;
  return rq;
}

/// A request and how its synthesiser is set up: what differs per item.
struct Item {
  const char* what;
  SynthesisRequest rq;
  std::size_t outputLimit = 0;
  bool interruptAtFirstPoll = false;
  int throwAtSample = -1;  ///< the trace observer throws there
};

std::unique_ptr<Synthesizer> synthesizerFor(const Item& item) {
  auto s = std::make_unique<Synthesizer>();
  s->setOutputLimit(item.outputLimit);
  if (item.interruptAtFirstPoll) s->setInterruptCheck([] { return true; });
  if (item.throwAtSample >= 0) {
    const unsigned at = static_cast<unsigned>(item.throwAtSample);
    s->setTraceObserver([at](const SampleTrace& t) {
      if (t.j == at) throw std::runtime_error("observer stop at " + std::to_string(at));
    });
  }
  return s;
}

/// The outcome as a comparable record (the exception by its message).
struct Seen {
  int status = -1;
  std::string printed, error, thrown;
  std::vector<float> samples;
  std::map<std::string, std::vector<float>> signals;
  std::optional<int> nAcc;
};

Seen seen(LaneOutcome&& o) {
  Seen s;
  if (o.thrown) {
    try {
      std::rethrow_exception(o.thrown);
    } catch (const std::exception& e) {
      s.thrown = e.what();
    }
    return s;
  }
  s.status = o.result.status;
  s.printed = o.result.printed;
  s.error = o.result.error;
  s.samples = std::move(o.result.samples);
  s.signals = std::move(o.result.signals);
  s.nAcc = o.result.nAcc;
  return s;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(LaneSynthesis, EveryItemGetsWhatItsSynthesizerGivesAlone) {
  std::vector<Item> items;
  items.push_back({"asa", asa(1.0)});
  items.push_back({"short, VCV, seeded, signals", asa(0.45)});
  items.back().rq.VCV = true;
  items.back().rq.options.seed = 7;
  items.back().rq.signals = {"glottal_flow", "lip_flow"};
  items.push_back({"refused", asa(1.0)});
  items.back().rq.nvt = 0;
  items.push_back({"longer", asa(1.6)});
  items.push_back({"nasal branch: steps alone", asa(0.8)});
  items.back().rq.options.nasal_tract = true;
  items.push_back({"interrupted mid-way", asa(1.0)});
  items.back().interruptAtFirstPoll = true;
  items.push_back({"beyond the output limit", asa(1.0)});
  items.back().outputLimit = 4000;
  items.push_back({"observer throws", asa(0.7)});
  items.back().throwAtSample = 2500;
  items.push_back({"trachea", asa(0.9)});
  items.back().rq.options.subGLTsystem = true;
  items.push_back({"trachea, shorter", asa(0.6)});
  items.back().rq.options.subGLTsystem = true;
  items.push_back({"four steps per sample", asa(0.5)});
  items.back().rq.options.oversampling = 4;
  items.push_back({"asa again", asa(1.0)});

  std::vector<Seen> alone;
  for (const Item& it : items) {
    LaneOutcome o;
    try {
      o.result = synthesizerFor(it)->synthesize(it.rq);
    } catch (...) {
      o.thrown = std::current_exception();
    }
    alone.push_back(seen(std::move(o)));
  }
  ASSERT_EQ(alone[2].status, 1);
  ASSERT_EQ(alone[5].error, kInterruptedError);
  ASSERT_EQ(alone[7].thrown, "observer stop at 2500");

  for (unsigned lanes : {1u, 2u, 3u, 8u}) {
    std::vector<std::unique_ptr<Synthesizer>> synths(items.size());
    std::vector<Seen> together(items.size());
    std::size_t next = 0, ended = 0;
    synthesizeLanes(
        lanes,
        [&](LaneRequest& r) {
          if (next == items.size()) return false;
          synths[next] = synthesizerFor(items[next]);
          r = LaneRequest{synths[next].get(), &items[next].rq, next};
          ++next;
          return true;
        },
        [&](std::size_t tag, LaneOutcome&& o) {
          together[tag] = seen(std::move(o));
          ++ended;
        });
    ASSERT_EQ(ended, items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      const Seen &a = alone[i], &t = together[i];
      SCOPED_TRACE(std::string(items[i].what) + ", lanes " + std::to_string(lanes));
      EXPECT_EQ(t.status, a.status);
      EXPECT_EQ(t.printed, a.printed);
      EXPECT_EQ(t.error, a.error);
      EXPECT_EQ(t.thrown, a.thrown);
      EXPECT_EQ(t.nAcc, a.nAcc);
      EXPECT_TRUE(sameBits(t.samples, a.samples));
      ASSERT_EQ(t.signals.size(), a.signals.size());
      for (const auto& [name, v] : a.signals) EXPECT_TRUE(sameBits(t.signals.at(name), v)) << name;
    }
  }
  EXPECT_THROW(synthesizeLanes(
                   9, [](LaneRequest&) { return false; }, [](std::size_t, LaneOutcome&&) {}),
               std::invalid_argument);
}

}  // namespace
}  // namespace vt
