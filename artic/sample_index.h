#pragma once
// Output sample on which a break point or key frame lies. The interpolators
// recognise a break point only when the running sample index equals it exactly,
// and the argument check must predict those indices bit for bit, so both use
// these functions.

#include <cmath>
#include <cstdint>

namespace vt {

/// Position of a time t_ms (ms) on the output grid of smpfrq (Hz):
/// t_ms · (smpfrq / 1000), quotient and product in extended precision from the
/// single-precision inputs, not yet truncated.
inline long double samplePosition(float t_ms, float smpfrq) noexcept {
  return static_cast<long double>(t_ms) * (static_cast<long double>(smpfrq) / 1000.0L);
}

/// Largest sample index a break point or key may have (32-bit signed index).
inline constexpr std::int32_t kMaxSampleIndex = 2147483647;

/// True when t_ms is finite, not negative, and its truncated position lies in
/// 0 … kMaxSampleIndex at smpfrq Hz. On such times breakPointSample and
/// keyFrameSample agree.
inline bool sampleIndexFits(float t_ms, float smpfrq) noexcept {
  if (!std::isfinite(t_ms) || t_ms < 0.0f) return false;
  const long double p = samplePosition(t_ms, smpfrq);
  return std::isfinite(p) && p >= 0.0L && p < 2147483648.0L;
}

/// Sample index of a control-track break point: the position truncated toward
/// zero to a 32-bit signed integer, read as unsigned. Positions that no 32-bit
/// integer holds give 0x80000000 (the "indefinite" integer of x86 conversions).
inline unsigned int breakPointSample(float t_ms, float smpfrq) noexcept {
  const long double p = samplePosition(t_ms, smpfrq);
  if (!(p > -2147483649.0L && p < 2147483648.0L)) return 0x80000000u;
  return static_cast<unsigned int>(static_cast<std::int32_t>(p));
}

/// Sample index of an area-function key frame: the position truncated toward
/// zero to a 64-bit signed integer, of which the low 32 bits form the unsigned
/// index. Positions that no 64-bit integer holds give 0 (the low word of the
/// 64-bit indefinite integer).
inline unsigned int keyFrameSample(float t_ms, float smpfrq) noexcept {
  const long double p = samplePosition(t_ms, smpfrq);
  if (!(p >= -0x1p63L && p < 0x1p63L)) return 0u;
  return static_cast<unsigned int>(static_cast<std::uint64_t>(static_cast<std::int64_t>(p)));
}

}  // namespace vt
