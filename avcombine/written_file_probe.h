#pragma once
// A freshly written AVI file read back before it takes the place of anything.

#include <string>

namespace vt::av {

/// Opens fileName (the staged output) with the demuxer and probes its
/// streams: a video stream of a known size first, an audio stream with its
/// channels and sample rate second. Throws Error naming outputName (the name
/// the user gave) and the reason when the file does not open or a stream
/// cannot be probed.
void probeWrittenFile(const std::string& fileName, const std::string& outputName);

}  // namespace vt::av
