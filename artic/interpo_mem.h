#pragma once

#include <vector>

namespace vt {

/// Common head of the interpolator records: position in a list of break points
/// or key frames that is walked one output sample at a time.
struct interpoHead {
  int ended = 0;              ///< 1 once the last break point / key has been reached
  int next = 0;               ///< index of the next break point / key to consume
  int count = 0;              ///< number of break points / keys
  int kind = 0;               ///< transition kind of the current segment
  unsigned int segStart = 0;  ///< sample index at which the current segment began
  unsigned int segEnd = 0;    ///< sample index of the break point ending the segment
};

/// State of one scalar control track (glottal baseline area, pulse amplitude, F0).
struct interpoMem : interpoHead {
  std::vector<float> times;   ///< break-point times, ms
  std::vector<float> values;  ///< break-point values
  std::vector<int> kinds;     ///< kinds[i] governs the segment that ends at break point i
  float slope = 0.0f;         ///< linear: change per sample; raised cosine: half the change
  float value = 0.0f;         ///< value of the break point that ends the current segment
  float omega = 0.0f;         ///< raised cosine: angular rate, rad per sample
};

/// Maximum number of vocal-tract sections of an area-function track.
constexpr int kMaxSections = 40;

/// State of the vocal-tract area-function track (key frames of areas and lengths).
struct interpoMemVTAF : interpoHead {
  float slopeA[kMaxSections] =
      {};  ///< per section: area change per sample, or half the change (cosine)
  float valueA[kMaxSections] = {};  ///< per section: area at the key ending the segment, cm²
  float slopeX[kMaxSections] = {};  ///< the same for the section lengths
  float valueX[kMaxSections] = {};  ///< section length at the key ending the segment, cm
  int duration = 0;                 ///< length of the current cosine segment, samples
  std::vector<std::vector<float>> dxFrames;    ///< per key: nvt section lengths, cm
  std::vector<std::vector<float>> areaFrames;  ///< per key: nvt section areas, cm²
  std::vector<float> times;                    ///< per key: time, ms
  std::vector<int> noiseLocs;                  ///< per key: frication source section (<0: keep)
  std::vector<int> kinds;                      ///< per key: kind of the transition ending at it
};

}  // namespace vt
