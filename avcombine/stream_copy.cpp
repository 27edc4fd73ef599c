#include "avcombine/stream_copy.h"

#include <string>

namespace vt::av {

namespace {

/// Largest ratio of base to average frame rate taken as a variable frame rate
/// rather than irregular frame times.
constexpr int kMaxRepeats = 8;

}  // namespace

AVRational videoTimeBase(const MediaInput& in) {
  const AVStream* s = in.stream();
  if (in.formatName() == "avi") return s->time_base;
  // A variable-rate stream has an average rate that fits none of its frame
  // times; its base rate does, the gaps becoming empty (repeat) chunks. A base
  // rate far above the average (irregular times) would mostly write empty
  // chunks, so the average serves then.
  const AVRational base = s->r_frame_rate;
  const AVRational avg = s->avg_frame_rate;
  const bool haveAvg = avg.num > 0 && avg.den > 0;
  if (base.num > 0 && base.den > 0 &&
      (!haveAvg || av_cmp_q(base, av_mul_q(avg, AVRational{kMaxRepeats, 1})) <= 0)) {
    return av_inv_q(base);
  }
  if (haveAvg) return av_inv_q(avg);
  return s->time_base;
}

StreamCopy::StreamCopy(MediaInput& in) : in_(in) {}

namespace {

/// True when the writer takes the stream's own tag for its codec: its tables
/// pair the two, or know neither (a codec the library cannot name keeps its own
/// code). A wave format header holds a 16-bit code only.
bool tagAccepted(const AVOutputFormat* format, const AVCodecParameters* par) {
  const AVCodecID id = par->codec_id;
  const unsigned tag = par->codec_tag;
  if (tag == 0 || format->codec_tag == nullptr) return false;
  if (par->codec_type == AVMEDIA_TYPE_AUDIO && tag > 0xffff) return false;
  const AVCodecID tagged = av_codec_get_id(format->codec_tag, tag);
  if (tagged == id) return true;
  return tagged == AV_CODEC_ID_NONE && av_codec_get_tag(format->codec_tag, id) == 0;
}

}  // namespace

void StreamCopy::configure(AVStream* out, const AVOutputFormat* format) const {
  const AVStream* s = in_.stream();
  const int rc = avcodec_parameters_copy(out->codecpar, s->codecpar);
  if (rc < 0)
    throw Error("cannot take over the stream of " + in_.describe() + ": " + errorText(rc));
  if (!tagAccepted(format, s->codecpar)) {
    // The writer's own code for the codec; a codec without one (Opus, Vorbis
    // and other audio of newer containers) has no AVI form at all.
    unsigned tag = 0;
    if (format->codec_tag == nullptr ||
        !av_codec_get_tag2(format->codec_tag, s->codecpar->codec_id, &tag)) {
      throw Error(in_.describe() + " holds " + avcodec_get_name(s->codecpar->codec_id) + " " +
                  av_get_media_type_string(s->codecpar->codec_type) +
                  ", which an AVI file cannot carry");
    }
    out->codecpar->codec_tag = 0;
  }
  if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
    out->time_base = videoTimeBase(in_);
    out->avg_frame_rate = s->avg_frame_rate;
    out->sample_aspect_ratio = s->sample_aspect_ratio;
  } else {
    out->time_base = s->time_base;
  }
}

bool StreamCopy::next(AVPacket* pkt) { return in_.read(pkt); }

}  // namespace vt::av
