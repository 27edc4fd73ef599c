#pragma once

#include <string>
#include <vector>

#include "artic/interpo_mem.h"

namespace vt {

/// One key of a tube key file: time and the tube's area and length there.
struct TubeKey {
  float t = 0.0f;  ///< time, ms
  float A = 0.0f;  ///< tube area, cm²
  float x = 0.0f;  ///< tube length, cm
};

/// State of one tube-model track (interpolAx): the key file's name, its keys
/// (read whole when the track starts at sample 0) and the current segment.
struct interpoMemTube : interpoHead {
  std::string fileName;       ///< path of the tube key file; set by the caller before sample 0
  std::vector<TubeKey> keys;  ///< keys of the file, read at sample 0
  float slopeA = 0.0f;        ///< half the change of area over the current segment, cm²
  float valueA = 0.0f;        ///< area at the key ending the current segment, cm²
  float omega = 0.0f;         ///< angular rate of the current segment, rad per sample
  float slopeX = 0.0f;        ///< half the change of length over the current segment, cm
  float valueX = 0.0f;        ///< length at the key ending the current segment, cm
};

}  // namespace vt
