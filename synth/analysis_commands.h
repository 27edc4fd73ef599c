#pragma once

#include <ostream>

namespace vt {

/// `quorvel formants FILE [options]`: resonances of a VT area-function file.
/// argv[0] is "formants". Exit status 0, 1 (unreadable file, refused values)
/// or 2 (wrong options).
int runFormantsCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

/// `quorvel tracks SCORE [-o tracks.csv] [--every MS] [--textgrid [FILE]]`:
/// per-frame ground truth of a score's utterance. argv[0] is "tracks".
int runTracksCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace vt
