#pragma once

#include "artic/interpo_mem.h"

namespace vt {

/// Value of a scalar control track at output sample n (called with n = 0, 1, 2, …
/// without gaps). smpfrq is the output sampling frequency in Hz.
float interpolX(unsigned int n, interpoMem* mem, float smpfrq);

}  // namespace vt
