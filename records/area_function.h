#pragma once

namespace vt {

/// One tube section of an area function: cross-sectional area and length.
struct area_function {
  float A = 0.0f;  ///< cross-sectional area, cm²
  float x = 0.0f;  ///< section length, cm
};

}  // namespace vt
