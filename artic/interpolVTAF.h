#pragma once

#include <vector>

#include "artic/interpo_mem.h"
#include "simulator/area_function.h"

namespace vt {

/// Area function of output sample n from the key frames in mem (called with
/// n = 0, 1, 2, … without gaps). At n = 0 afvt is sized to nvt sections; each
/// call leaves the sample's areas and lengths in it and may move the frication
/// source (noiseSourceLoc). nvt is 1..kMaxSections, smpfrq in Hz.
void interpolVTAF(unsigned int n, interpoMemVTAF* mem, int nvt, float smpfrq,
                  std::vector<area_function>& afvt, int& noiseSourceLoc);

/// Cosine transition law at offset a of a segment of b samples, with both ends
/// flattened by a raised-cosine ripple of peak 0.01.
long double coscos(int a, int b);

}  // namespace vt
