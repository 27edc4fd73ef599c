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

/// Longest section the network takes, cm. An adult vocal tract is about
/// 17 cm, trachea and bronchi add some 25 cm: no airway section comes near a
/// metre, and a lumped section is meaningful only while it is short against
/// the wavelength (35000/fs cm, 3.5 cm at 10 kHz); 100 cm leaves room for any
/// deliberate long-tube experiment and refuses lengths typed in the wrong unit.
inline constexpr double kMaxSectionLength_cm = 100.0;

/// Physical values the network can use (checked after the shapes and times):
/// the value rows of TAg0, TAgP (cm²) and TF0 (Hz) finite within single
/// precision and not negative; every TAF2 area finite within single
/// precision (0 or less is a closure); every section length above 0 and at
/// most kMaxSectionLength_cm. Empty when accepted, else what is wrong, naming
/// the argument, its row and its column.
std::string checkRequestValues(const SynthesisRequest& request);

/// Everything a request must satisfy before synthesis: rates, 1..40 sections,
/// at least one key frame with an area and a length per section, walkable
/// times, usable values. Empty when accepted, else the full refusal message
/// (starting with kArgumentCheckFailed), the same text the argument front end gives.
std::string checkRequest(const SynthesisRequest& request);

}  // namespace vt
