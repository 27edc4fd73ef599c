#include "synth/lane_synthesis.h"

#include <array>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "synth/synthesis_run.h"

namespace vt {
namespace {

/// A request under way in one lane.
struct Lane {
  std::unique_ptr<SynthesisRun> run;
  std::size_t tag = 0;
  std::exception_ptr thrown;  ///< set when its synthesis raised
  float s = 0.0f;             ///< the output sample of this pass, dyn/cm²
};

/// Simulators advanced by one call: lanes whose networks share the
/// overlapped single-chain schedule with the same section counts, steps per
/// output sample and walls (so that they step two to an instruction).
struct LaneGroup {
  int count = 0;
  std::array<int, kMaxSynthesisLanes> lane{};  ///< indices into the lanes under way
  bool lockstep = false;                       ///< false: one lane whose network steps alone
  int sections = 0, trachea = 0, deci = 0;     ///< main-branch and trachea sections
  int walls = 0;  ///< yielding walls (lanes pair only with equal walls)
};

/// True when the running network can step in lockstep with others of the
/// same section counts (vocal tract, trachea) and steps per output sample.
bool steppable_together(const Simulator& sim) {
  return sim.allow_pipeline && sim.cfg.vocal_tract == 1 && sim.layout().nasal_tract == 0;
}

void groupLanes(const std::vector<Lane>& lanes, std::vector<LaneGroup>& groups) {
  groups.clear();
  for (int k = 0; k < static_cast<int>(lanes.size()); ++k) {
    Simulator& sim = lanes[k].run->simulator();
    const bool together = steppable_together(sim);
    const SimLayout counts = sim.layout();
    const int sections = counts.nvt0;
    const int trachea = counts.ntr;
    const int deci = sim.constants().deci;
    const int walls = sim.cfg.wall;
    LaneGroup* joined = nullptr;
    if (together) {
      for (LaneGroup& g : groups)
        if (g.lockstep && g.sections == sections && g.trachea == trachea && g.deci == deci &&
            g.walls == walls)
          joined = &g;
    }
    if (joined == nullptr) {
      groups.emplace_back();
      joined = &groups.back();
      joined->lockstep = together;
      joined->sections = sections;
      joined->trachea = trachea;
      joined->deci = deci;
      joined->walls = walls;
    }
    joined->lane[joined->count++] = k;
  }
}

/// Advances one group's simulators by one output sample into their lanes' s.
void advance(std::vector<Lane>& lanes, const LaneGroup& g) {
  if (g.count == 1) {
    Lane& l = lanes[g.lane[0]];
    try {
      l.s = l.run->advanceAlone();
    } catch (const std::bad_alloc&) {
      l.run->failOutOfMemory();
    } catch (...) {
      l.thrown = std::current_exception();
    }
    return;
  }
  std::array<Simulator*, kMaxSynthesisLanes> sims{};
  std::array<float, kMaxSynthesisLanes> out{};
  for (int i = 0; i < g.count; ++i) {
    lanes[g.lane[i]].run->settle();
    sims[i] = &lanes[g.lane[i]].run->simulator();
  }
  try {
    Simulator::vtt_sim_lanes(std::span<Simulator* const>(sims.data(), g.count),
                             std::span<float>(out.data(), g.count));
  } catch (const std::bad_alloc&) {
    // A signal tap of one of them could not grow: the lanes' states no
    // longer tell which, so every lane of the group reports it.
    for (int i = 0; i < g.count; ++i) lanes[g.lane[i]].run->failOutOfMemory();
    return;
  } catch (...) {
    for (int i = 0; i < g.count; ++i) lanes[g.lane[i]].thrown = std::current_exception();
    return;
  }
  for (int i = 0; i < g.count; ++i) lanes[g.lane[i]].s = out[i];
}

}  // namespace

void synthesizeLanes(unsigned lanes, const std::function<bool(LaneRequest&)>& next,
                     const std::function<void(std::size_t tag, LaneOutcome&&)>& done) {
  if (lanes < 1 || lanes > kMaxSynthesisLanes)
    throw std::invalid_argument("synthesizeLanes: lanes must be 1 to 8");
  std::vector<Lane> active;
  active.reserve(lanes);
  std::vector<LaneGroup> groups;
  groups.reserve(lanes);
  bool more = true, regroup = true;

  // Hands back the outcomes of the lanes that ended and frees their lanes.
  auto release = [&] {
    for (std::size_t k = 0; k < active.size();) {
      Lane& l = active[k];
      if (!l.thrown && !l.run->finished()) {
        ++k;
        continue;
      }
      LaneOutcome o;
      if (l.thrown)
        o.thrown = l.thrown;
      else
        o.result = l.run->takeResult();
      const std::size_t tag = l.tag;
      active.erase(active.begin() + static_cast<std::ptrdiff_t>(k));
      regroup = true;
      done(tag, std::move(o));
    }
  };

  for (;;) {
    while (more && active.size() < lanes) {
      LaneRequest r;
      if (!next(r)) {
        more = false;
        break;
      }
      Lane l;
      l.tag = r.tag;
      try {
        l.run = std::make_unique<SynthesisRun>(*r.synthesizer, *r.request);
      } catch (...) {
        done(r.tag, LaneOutcome{{}, std::current_exception()});
        continue;
      }
      if (l.run->finished()) {  // refused by the checks
        LaneOutcome o{l.run->takeResult(), nullptr};
        l.run.reset();
        done(r.tag, std::move(o));
        continue;
      }
      active.push_back(std::move(l));
      regroup = true;
    }
    if (active.empty()) return;

    bool ended = false;
    for (Lane& l : active) {
      try {
        l.run->prepare();
      } catch (...) {
        l.thrown = std::current_exception();
      }
      ended = ended || l.thrown || l.run->finished();
    }
    if (ended) {
      release();
      if (active.empty()) continue;
    }
    if (regroup) {
      groupLanes(active, groups);
      regroup = false;
    }
    for (const LaneGroup& g : groups) advance(active, g);
    ended = false;
    for (Lane& l : active) {
      if (!l.thrown && !l.run->finished()) {
        try {
          l.run->take(l.s);
        } catch (...) {
          l.thrown = std::current_exception();
        }
      }
      ended = ended || l.thrown || l.run->finished();
    }
    if (ended) release();
  }
}

}  // namespace vt
