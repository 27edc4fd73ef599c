#pragma once

#include "artic/interpo_mem.h"

namespace vt {

/// Value of a scalar control track at output sample n (called with n = 0, 1, 2, …
/// without gaps). smpfrq is the output sampling frequency in Hz. Samples before
/// a first break point that lies after sample 0 give 0.0, as does a track after
/// its single break point; times, values and kinds hold `count` entries.
float interpolX(unsigned int n, interpoMem* mem, float smpfrq);

}  // namespace vt
