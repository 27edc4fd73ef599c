#pragma once
// Results that depend only on a few inputs, kept with the bit patterns of
// those inputs: a step whose inputs kept their bits reuses the stored result
// instead of recomputing it. The result is the same bit for bit either way.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "simulator/td_acoustic_elements.h"

namespace vt {

/// The bit pattern of a float (std::bit_cast is missing from some standard
/// libraries this code is built with, e.g. the WebAssembly one).
inline std::uint32_t floatBits(float v) {
  std::uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

/// A^2.5 of a float area A (cm²), in double precision, as std::pow gives it.
class Power25Cache {
 public:
  double operator()(float A) {
    const std::uint32_t bits = floatBits(A);
    if (!valid_ || bits != bits_) {
      value_ = std::pow(static_cast<double>(A), 2.5);
      bits_ = bits;
      valid_ = true;
    }
    return value_;
  }

 private:
  std::uint32_t bits_ = 0;
  bool valid_ = false;
  double value_ = 0.0;
};

/// The two element records of the glottal slit as acous_elements_t fills
/// them, for one glottal area and length (cm², cm), wall switch and the run's
/// constants. Call reset() when the constants change (every vtt_ini).
class GlottalElementCache {
 public:
  void reset() { valid_ = false; }
  /// Writes into g[0..1] exactly the fields the glottal tube model writes:
  /// series resistance and inertance of both records, the compliance and
  /// the wall branch (Yw alone with rigid walls) of the second.
  template <class Compute>
  void fill(float A, float x, int wall, td_acoustic_elements* g, Compute compute) {
    const std::uint32_t a = floatBits(A), b = floatBits(x);
    if (valid_ && a == A_ && b == x_ && wall == wall_) {
      g[0].R = e0_.R;
      g[0].L = e0_.L;
      g[1].R = e1_.R;
      g[1].L = e1_.L;
      g[1].C = e1_.C;
      g[1].Yw = e1_.Yw;
      if (wall == 1) {
        g[1].Rw = e1_.Rw;
        g[1].Lw = e1_.Lw;
        g[1].Cw = e1_.Cw;
      }
      return;
    }
    compute();
    e0_ = g[0];
    e1_ = g[1];
    A_ = a;
    x_ = b;
    wall_ = wall;
    valid_ = true;
  }

 private:
  bool valid_ = false;
  std::uint32_t A_ = 0, x_ = 0;
  int wall_ = 0;
  td_acoustic_elements e0_{}, e1_{};
};

/// Inputs of one vocal-tract section's elements as last computed (area and
/// length bits, wall switch) with its half-section values. While they hold,
/// the section's compliance and wall branch in its element record are still
/// the values the same inputs give, and only the half sections are needed.
struct SectionElementKey {
  std::uint32_t A = 0, x = 0;
  bool walls = false;
  bool valid = false;
  double Rh = 0, Lh = 0;  ///< half-section resistance and inertance, dyn·s/cm⁵
};

}  // namespace vt
