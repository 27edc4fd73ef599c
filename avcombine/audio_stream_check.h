#pragma once
// The stream parameters of a sound track, checked before it is laid under a
// video: a wave format header whose fields no decoder can use (no channels,
// 65535 channels, no sample rate, a block size that disagrees with the
// sample size) would give an AVI file that no player opens.

#include "avcombine/media_input.h"

namespace vt::av {

/// Most channels a sound track may have: the libraries' own decoders refuse
/// more than 512 (no speaker layout comes near it).
inline constexpr int kMaxAudioChannels = 512;

/// Throws Error naming the file and the header field when the audio stream of
/// in cannot be decoded: channel count outside 1..kMaxAudioChannels, sample
/// rate 0, a byte rate (sample rate x block align) beyond the 32 bits of the
/// AVI stream header, and for PCM a bits-per-sample or block align that
/// disagrees with the sample format and the channel count (compressed codecs
/// keep their own block sizes).
void checkAudioStream(const MediaInput& in);

}  // namespace vt::av
