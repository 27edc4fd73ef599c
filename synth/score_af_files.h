#pragma once

#include <optional>
#include <string>
#include <vector>

#include "synth/score_json.h"

namespace vt {

/// Fills the key frames of a score that come from VT area-function files
/// (label, number of sections, section length in cm, areas in cm²; see
/// artic/vtaf_file.h). files[m], when given, supplies key frame m: the file's
/// areas become column m of TAF2 and its section length the length of every
/// section of frame m in dx. A relative path is taken from baseDir (the score
/// file's directory; empty: the working directory). Each file must hold nss
/// sections. haveTAF2 / haveDx say whether the score wrote TAF2 / dx; a score
/// may leave one out only when every frame has a file, and a dx of 1 × 1 is
/// widened to 1 × F. Returns false with a message in err.
bool applyAreaFunctionFiles(const std::vector<std::optional<std::string>>& files,
                            const std::string& baseDir, bool haveTAF2, bool haveDx, Score& s,
                            std::string& err);

}  // namespace vt
