#pragma once

#include <string_view>
#include <vector>

#include "artic/interpo_mem_tube.h"

namespace vt {

// Tube key file: white-space separated tokens
//   number-of-keys  { time(ms) area(cm²) length(cm) label }…
// The label is one word of any length and is not used. A number of keys of
// 0 announces an empty track; a negative one is refused. A key at t ms lies on
// sample keyFrameSample(t, smpfrq) (artic/sample_index.h).

/// Reads the keys of the tube key file at path. Keys must lie at finite times
/// t >= 0 whose sample indices at smpfrq Hz increase strictly and fit 32 bits,
/// with finite areas and lengths. Throws AreaFunctionFileError: "<path> not
/// found" when there is no such file, "<path> cannot be read: <reason>" when
/// it exists but cannot be read, or a message naming the file, token, line
/// and what was expected.
std::vector<TubeKey> readTubeKeys(std::string_view path, float smpfrq);

}  // namespace vt
