#pragma once
// Owning handles for the FFmpeg objects the combiners use. Each handle frees its
// object with the library's own release call, so every early exit (a failed
// open, a missing stream, a failed write) releases whatever was obtained so far.

#include <memory>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace vt::av {

/// Failure of a combining step; what() names the file and the reason.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Text of an FFmpeg error code (e.g. "No such file or directory").
inline std::string errorText(int code) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buf, sizeof buf);
  return buf;
}

struct InputFormatDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
/// An opened input container (demuxer).
using InputFormat = std::unique_ptr<AVFormatContext, InputFormatDeleter>;

/// Opens a local file for demuxing: "file:" keeps names with a colon from
/// being taken for a protocol, and the whitelist keeps playlist-like formats
/// from reaching beyond local files. The container, or an empty one and the
/// library's error code in rc (< 0).
inline InputFormat openLocalInput(const std::string& fileName, int& rc) {
  AVDictionary* opts = nullptr;
  av_dict_set(&opts, "protocol_whitelist", "file", 0);
  AVFormatContext* raw = nullptr;
  const std::string url = "file:" + fileName;
  rc = avformat_open_input(&raw, url.c_str(), nullptr, &opts);
  av_dict_free(&opts);
  return InputFormat(rc < 0 ? nullptr : raw);
}

struct OutputFormatDeleter {
  void operator()(AVFormatContext* c) const {
    if (c->pb != nullptr && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
/// An output container (muxer) together with its open byte stream, if any.
using OutputFormat = std::unique_ptr<AVFormatContext, OutputFormatDeleter>;

struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
/// A decoder or encoder instance.
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;

struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
/// One picture (decoded or converted).
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;

struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
/// One compressed packet (a chunk of one stream).
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;

struct ScalerDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
/// A pixel-format converter.
using Scaler = std::unique_ptr<SwsContext, ScalerDeleter>;

/// A new empty packet; throws when memory is exhausted.
inline Packet makePacket() {
  Packet p(av_packet_alloc());
  if (!p) throw Error("out of memory allocating a packet");
  return p;
}

/// A new empty frame; throws when memory is exhausted.
inline Frame makeFrame() {
  Frame f(av_frame_alloc());
  if (!f) throw Error("out of memory allocating a frame");
  return f;
}

}  // namespace vt::av
