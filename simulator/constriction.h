#pragma once

namespace vt {

/// The narrowest vocal-tract section found by the constriction search.
struct constriction {
  int region = 0;  ///< 2: in the main branch (af), 3: in the mouth branch (afbu)
  int index = 0;   ///< section index within that branch
  float A = 0.0f;  ///< its area, cm²
  float x = 0.0f;  ///< its length, cm
};

}  // namespace vt
