#include "avcombine/written_file_probe.h"

#include "avcombine/av_handles.h"

namespace vt::av {

void probeWrittenFile(const std::string& fileName, const std::string& outputName) {
  const std::string fail = "the written file \"" + outputName + "\" cannot be read back (";
  const std::string kept = "); nothing was replaced";
  int rc = 0;
  const InputFormat ctx = openLocalInput(fileName, rc);
  if (rc < 0) throw Error(fail + errorText(rc) + kept);
  const int rs = avformat_find_stream_info(ctx.get(), nullptr);
  if (rs < 0) throw Error(fail + "its streams: " + errorText(rs) + kept);
  if (ctx->nb_streams != 2) {
    throw Error(fail + std::to_string(ctx->nb_streams) + " streams instead of 2" + kept);
  }
  const AVCodecParameters* v = ctx->streams[0]->codecpar;
  if (v->codec_type != AVMEDIA_TYPE_VIDEO || v->width < 1 || v->height < 1) {
    throw Error(fail + "its first stream is no video of known size" + kept);
  }
  const AVCodecParameters* a = ctx->streams[1]->codecpar;
  if (a->codec_type != AVMEDIA_TYPE_AUDIO || a->ch_layout.nb_channels < 1 || a->sample_rate < 1) {
    throw Error(fail + "its second stream is no audio with channels and a sample rate" + kept);
  }
}

}  // namespace vt::av
