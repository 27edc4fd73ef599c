#pragma once

#include <vector>

namespace vt {

/// Law of the transition that ends at a break point or key frame. Scalar
/// tracks: Zero gives 0 over the segment, Linear a straight line, Cosine a
/// raised-cosine glide. Area-function tracks: Zero holds the previous shape.
/// Any other value is kept as given (a segment without a law).
enum class Transition : int { Zero = 0, Linear = 1, Cosine = 2 };

/// One break point of a scalar control track.
struct BreakPoint {
  double time_ms = 0.0;                  ///< time, ms (lies on output sample trunc(t·fs/1000))
  double value = 0.0;                    ///< the track's quantity (cm², Hz, cm H2O, ...)
  Transition kind = Transition::Linear;  ///< law of the segment that ends here
  bool operator==(const BreakPoint&) const = default;
};

/// Break points of one scalar control track, in time order.
using ControlTrack = std::vector<BreakPoint>;

}  // namespace vt
