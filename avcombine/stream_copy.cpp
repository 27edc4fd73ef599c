#include "avcombine/stream_copy.h"

#include <string>

namespace vt::av {

AVRational videoTimeBase(const MediaInput& in) {
  const AVStream* s = in.stream();
  if (in.formatName() == "avi") return s->time_base;
  const AVRational rate = s->avg_frame_rate;
  if (rate.num > 0 && rate.den > 0) return av_inv_q(rate);
  return s->time_base;
}

StreamCopy::StreamCopy(MediaInput& in) : in_(in) {}

namespace {

/// True when the writer takes tag for codec id: its tables pair the two, or
/// know neither (a codec the library cannot name keeps its own code).
bool tagAccepted(const AVOutputFormat* format, AVCodecID id, unsigned tag) {
  if (tag == 0 || format->codec_tag == nullptr) return false;
  const AVCodecID tagged = av_codec_get_id(format->codec_tag, tag);
  if (tagged == id) return true;
  return tagged == AV_CODEC_ID_NONE && av_codec_get_tag(format->codec_tag, id) == 0;
}

}  // namespace

void StreamCopy::configure(AVStream* out, const AVOutputFormat* format) const {
  const AVStream* s = in_.stream();
  const int rc = avcodec_parameters_copy(out->codecpar, s->codecpar);
  if (rc < 0) throw Error("cannot take over the stream of " + in_.describe() + ": " + errorText(rc));
  if (!tagAccepted(format, s->codecpar->codec_id, s->codecpar->codec_tag)) {
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
