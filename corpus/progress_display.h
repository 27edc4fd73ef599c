#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

#include "corpus/batch_runner.h"

namespace vt {

/// Shows how far a batch has come: on a terminal a bar redrawn in place
/// (done/total, seconds of speech made per wall-clock second, time left);
/// otherwise (a log file, a cluster job) one plain line every interval.
class ProgressDisplay {
 public:
  ProgressDisplay(std::ostream& out, bool terminal,
                  std::chrono::milliseconds plainInterval = std::chrono::seconds(10));

  /// Redraws the bar, or writes a plain line when the interval has passed.
  void update(const BatchProgress& progress);
  /// Final state: the bar completed and its line ended (terminal only).
  void finish(const BatchProgress& progress);

  /// The state as text: "120/200 done, 3 failed, 4.2 s/s, 19 s left" (with a bar when bar is true).
  static std::string describe(const BatchProgress& progress, bool bar);

 private:
  std::ostream& out_;
  bool terminal_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point lastLine_;
  bool drawn_ = false;
};

}  // namespace vt
