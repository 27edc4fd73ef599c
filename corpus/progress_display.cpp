#include "corpus/progress_display.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace vt {
namespace {

/// A duration in s as "42 s", "3 min 05 s" or "2 h 07 min".
std::string formatDuration(double s) {
  char text[48];
  if (!std::isfinite(s) || s < 0) return "?";
  const long t = std::lround(s);
  if (t < 60)
    std::snprintf(text, sizeof text, "%ld s", t);
  else if (t < 3600)
    std::snprintf(text, sizeof text, "%ld min %02ld s", t / 60, t % 60);
  else
    std::snprintf(text, sizeof text, "%ld h %02ld min", t / 3600, (t / 60) % 60);
  return text;
}

}  // namespace

ProgressDisplay::ProgressDisplay(std::ostream& out, bool terminal,
                                 std::chrono::milliseconds plainInterval)
    : out_(out),
      terminal_(terminal),
      interval_(plainInterval),
      lastLine_(std::chrono::steady_clock::now()) {}

std::string ProgressDisplay::describe(const BatchProgress& p, bool bar) {
  const std::size_t total = p.total, done = p.done, failed = p.failed, kept = p.kept;
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - p.start).count();
  const double rate = elapsed > 0 ? p.audio_s / elapsed : 0.0;
  // Time left from the pace of the utterances synthesised in this run.
  const std::size_t made = done - kept;
  const double left =
      made > 0 ? static_cast<double>(total - done) * elapsed / static_cast<double>(made) : NAN;
  std::string text;
  if (bar) {
    constexpr int kWidth = 30;
    const int filled = total ? static_cast<int>(kWidth * done / total) : kWidth;
    text = "[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] ";
  }
  char line[160];
  std::snprintf(line, sizeof line, "%zu/%zu done, %zu failed, %.1f s of speech per s, %s left",
                done, total, failed, rate, done == total ? "0 s" : formatDuration(left).c_str());
  return text + line;
}

void ProgressDisplay::update(const BatchProgress& p) {
  const auto now = std::chrono::steady_clock::now();
  if (terminal_) {
    out_ << "\r" << describe(p, true) << "\x1b[K" << std::flush;  // erase what the last draw left
    drawn_ = true;
  } else if (now - lastLine_ >= interval_) {
    out_ << "quorvel batch: " << describe(p, false) << "\n" << std::flush;
    lastLine_ = now;
  }
}

void ProgressDisplay::finish(const BatchProgress& p) {
  if (!terminal_) return;
  update(p);
  if (drawn_) out_ << "\n" << std::flush;
}

}  // namespace vt
