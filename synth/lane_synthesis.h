#pragma once

#include <cstddef>
#include <exception>
#include <functional>

#include "synth/synthesis_request.h"
#include "synth/synthesis_result.h"
#include "synth/synthesizer.h"

namespace vt {

/// One request of a lane group: the synthesiser that runs it (with its
/// observers and output limit) and the request; both must stay alive and
/// untouched until the request's outcome has been handed back.
struct LaneRequest {
  Synthesizer* synthesizer = nullptr;
  const SynthesisRequest* request = nullptr;
  std::size_t tag = 0;  ///< the caller's number for the request, handed back with its outcome
};

/// How one request of a lane group ended: its result, or the exception its
/// synthesis raised (what Synthesizer::synthesize would have thrown for it
/// alone, e.g. from a trace observer), then `thrown` is set and result empty.
struct LaneOutcome {
  SynthesisResult result;
  std::exception_ptr thrown;
};

/// Most requests synthesizeLanes runs at once.
inline constexpr unsigned kMaxSynthesisLanes = static_cast<unsigned>(Simulator::kMaxLanes);

/// Synthesises requests up to `lanes` (1..kMaxSynthesisLanes) at a time in
/// the calling thread. Per output sample every request under way prepares
/// its targets, the simulators whose networks can run in lockstep (the
/// single chain with equal section counts and steps per output sample) are
/// advanced together by one Simulator::vtt_sim_lanes call, any other alone,
/// and every request takes its sample. The requests need not be aligned in
/// time: whenever one ends (finished, refused or failed) its lane is given to
/// the next request.
///
/// next(r) fills r with the next request to start and returns false when
/// none is left; done(tag, outcome) is called as soon as a request ends, in
/// this thread. Each outcome is bit for bit what the request's synthesiser
/// gives for it alone: samples, printed text, signals, nAcc and error. An
/// exception from next or done ends the call (the requests under way are
/// abandoned, their arrays released) and propagates.
void synthesizeLanes(unsigned lanes, const std::function<bool(LaneRequest&)>& next,
                     const std::function<void(std::size_t tag, LaneOutcome&&)>& done);

}  // namespace vt
