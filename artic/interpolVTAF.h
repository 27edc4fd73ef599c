#pragma once

#include <vector>

#include "artic/interpo_mem.h"
#include "records/area_function.h"

namespace vt {

/// Area function of output sample n from the key frames in mem (called with
/// n = 0, 1, 2, … without gaps). At n = 0 afvt is sized to nvt sections and
/// holds key 0's areas (cm²) and lengths (cm), the shape the tract keeps before
/// the first key, after a single key and over hold segments from key 0; each
/// call leaves the sample's areas and lengths in it and may move the frication
/// source (noiseSourceLoc, at the start of the segment towards a key). nvt is
/// 1..kMaxSections (larger values are taken as kMaxSections), smpfrq in Hz;
/// every key frame holds at least nvt areas and lengths. With no keys, afvt is
/// left as it is and `ended` is set at n = 0.
void interpolVTAF(unsigned int n, interpoMemVTAF* mem, int nvt, float smpfrq,
                  std::vector<area_function>& afvt, int& noiseSourceLoc);

/// Cosine transition law at offset a of a segment of b samples, with both ends
/// flattened by a raised-cosine ripple of peak 0.01 and period b/5 samples.
/// Segments shorter than 5 samples get no ripple; b = 0 gives 1 (the end).
long double coscos(int a, int b);

}  // namespace vt
