#pragma once

#include "artic/interpo_mem_tube.h"
#include "records/area_function.h"

namespace vt {

/// The track's value where it has none: area 0, length 0.
inline constexpr area_function afNull{0.0f, 0.0f};

/// Area and length of one tube at output sample n, moving along a raised
/// cosine between the keys of the tube key file mem->fileName. Call with
/// n = 0, 1, 2, … without gaps; n = 0 reads the file whole (no file stays
/// open) and restarts the track. Before the first key the result follows
/// mem->kind as the caller left it (0: afNull, 1: linear, 2: cosine with the
/// slopes and omega as they stand); after the last key the last cosine
/// segment continues. smpfrq: output sampling frequency, Hz (> 0, finite).
/// Throws AreaFunctionFileError ("<fileName> not found", "<fileName> cannot be read: <reason>", or
/// a malformed-file message; the record is then left unchanged) and std::invalid_argument for a
/// null record or a bad smpfrq.
area_function interpolAx(unsigned int n, interpoMemTube* mem, float smpfrq);

}  // namespace vt
