#include "avcombine/media_input.h"

#include <filesystem>
#include <system_error>

namespace vt::av {

MediaInput::MediaInput(const std::string& fileName, AVMediaType type, const std::string& role)
    : fileName_(fileName), role_(role) {
  namespace fs = std::filesystem;
  if (fileName.empty()) throw Error("the " + role + " file name is empty");
  std::error_code ec;
  const fs::file_status st = fs::status(fileName, ec);
  if (ec || !fs::exists(st)) {
    const std::string why = ec ? ec.message() : "No such file or directory";
    throw Error("cannot open " + describe() + ": " + why);
  }
  // A directory, pipe or device would block or fail half-way inside the demuxer.
  if (!fs::is_regular_file(st)) throw Error("cannot open " + describe() + ": not a regular file");

  int rc = 0;
  ctx_ = openLocalInput(fileName, rc);
  if (rc < 0) throw Error("cannot open " + describe() + ": " + errorText(rc));

  const int rs = avformat_find_stream_info(ctx_.get(), nullptr);
  if (rs < 0) throw Error("cannot read the streams of " + describe() + ": " + errorText(rs));

  // The first stream of the type in file order (not the library's "best" one).
  for (unsigned i = 0; i < ctx_->nb_streams; ++i) {
    AVStream* s = ctx_->streams[i];
    if (stream_ == nullptr && s->codecpar->codec_type == type) {
      stream_ = s;
    } else {
      s->discard = AVDISCARD_ALL;
    }
  }
  if (stream_ == nullptr) {
    throw Error(describe() + " has no " + av_get_media_type_string(type) + " stream");
  }
}

bool MediaInput::read(AVPacket* pkt) {
  for (;;) {
    av_packet_unref(pkt);
    const int rc = av_read_frame(ctx_.get(), pkt);
    if (rc == AVERROR_EOF) return false;
    if (rc < 0) throw Error("cannot read " + describe() + ": " + errorText(rc));
    if (pkt->stream_index == stream_->index) return true;
  }
}

std::string MediaInput::describe() const { return "the " + role_ + " file \"" + fileName_ + "\""; }

}  // namespace vt::av
