#pragma once

#include <cmath>
#include <limits>
#include <string>

#include "synth/check_arguments.h"
#include "synth/synthesis_request.h"

namespace vt {

/// The prefix of every refusal of a synthesis call.
inline constexpr const char* kArgumentCheckFailed = "quorvel argument checking failed.";

/// True when d truncated toward zero is an int (so the conversion is defined).
inline bool truncatesToInt(double d) {
  return std::isfinite(d) && d > static_cast<double>(std::numeric_limits<int>::min()) - 1.0 &&
         d < static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
}

/// Times of break points (3 x K: time ms, value, kind) or key frames (3 x F:
/// time ms, kind, frication source section) that the interpolators can walk:
/// finite, not negative, on output samples a 32-bit index holds and that
/// increase strictly; the integer rows convert to int. Empty when accepted,
/// else what is wrong, naming the argument and the column.
std::string checkTimeColumns(const ArgView& columns, const char* name, bool keyFrames,
                             float smpfrq);

/// Times of a break-point track (as checkTimeColumns, for a typed track);
/// `name` is the field the messages name.
std::string checkTrackTimes(const ControlTrack& track, const char* name, float smpfrq);

/// Physical values the network can use (checked after the shapes and times).
/// Empty when accepted, else what is wrong, naming the field.
std::string checkRequestValues(const SynthesisRequest& request);

/// Everything a request must satisfy before synthesis: rates, 1..40 sections,
/// at least one key frame with an area and a length per section, walkable
/// times, usable values. Empty when accepted, else the full refusal message
/// (starting with kArgumentCheckFailed), the same text the argument front end gives.
std::string checkRequest(const SynthesisRequest& request);

}  // namespace vt
