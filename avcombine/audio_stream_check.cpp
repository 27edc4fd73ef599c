#include "avcombine/audio_stream_check.h"

#include <cstdint>

namespace vt::av {

namespace {

[[noreturn]] void refuse(const MediaInput& in, const std::string& field, int64_t value,
                         const std::string& why) {
  throw Error(in.describe() + " cannot be laid under the video: its " + field + " is " +
              std::to_string(value) + "; " + why);
}

}  // namespace

void checkAudioStream(const MediaInput& in) {
  const AVCodecParameters* p = in.stream()->codecpar;
  const int channels = p->ch_layout.nb_channels;
  if (channels < 1 || channels > kMaxAudioChannels) {
    refuse(in, "channel count", channels,
           "a sound track has 1 to " + std::to_string(kMaxAudioChannels) + " channels");
  }
  if (p->sample_rate < 1) refuse(in, "sample rate", p->sample_rate, "it must be at least 1 Hz");
  const int64_t byteRate = static_cast<int64_t>(p->sample_rate) * p->block_align;
  if (byteRate > INT64_C(0xFFFFFFFF)) {
    refuse(in, "byte rate (sample rate x block align)", byteRate,
           "the AVI stream header holds at most 4294967295 bytes/s");
  }
  // PCM: every block holds one sample of each channel in the codec's own size.
  const int sampleBits = av_get_bits_per_sample(p->codec_id);
  const bool pcm = p->codec_id >= AV_CODEC_ID_FIRST_AUDIO && p->codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
  if (!pcm || sampleBits < 8) return;
  if (p->bits_per_coded_sample < 1 || p->bits_per_coded_sample > sampleBits) {
    refuse(in, "bits per sample", p->bits_per_coded_sample,
           "samples of " + std::string(avcodec_get_name(p->codec_id)) + " hold 1 to " +
               std::to_string(sampleBits) + " bits");
  }
  const int blockBytes = channels * (sampleBits / 8);
  if (p->block_align != blockBytes) {
    refuse(in, "block align", p->block_align,
           std::to_string(channels) + (channels == 1 ? " channel" : " channels") + " of " +
               std::to_string(sampleBits / 8) + "-byte samples make blocks of " +
               std::to_string(blockBytes) + " bytes");
  }
}

}  // namespace vt::av
