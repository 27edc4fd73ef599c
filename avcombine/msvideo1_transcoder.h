#pragma once
// Re-encodes the video stream of an input with Microsoft Video 1 (4x4-block
// vector quantisation on 15-bit RGB, FourCC "MSVC"), frame for frame.

#include "avcombine/packet_source.h"

namespace vt::av {

/// Decodes every frame of the input's video stream, converts it to RGB555 and
/// encodes it with the msvideo1 encoder at its highest compression.
class MsVideo1Transcoder final : public PacketSource {
 public:
  /// Reads from in, which must outlive this object. Throws Error naming the
  /// file when the video cannot be decoded or its frame size is not a
  /// multiple of 4 pixels in both directions (the codec's 4x4 block grid).
  explicit MsVideo1Transcoder(MediaInput& in);

  /// Microsoft Video 1 parameters with the FourCC "MSVC".
  void configure(AVStream* out, const AVOutputFormat* format) const override;

  bool next(AVPacket* pkt) override;
  AVRational timeBase() const override { return encoder_->time_base; }

 private:
  /// Leaves the next decoded picture in decoded_; false after the last one.
  bool decodeNext();
  /// Converts decoded_ to RGB555 in converted_ with its output timestamp.
  void convert();

  MediaInput& in_;
  CodecContext decoder_;
  CodecContext encoder_;
  Scaler scaler_;
  int scaledWidth_ = 0;  ///< picture size and format scaler_ was made for
  int scaledHeight_ = 0;
  AVPixelFormat scaledFormat_ = AV_PIX_FMT_NONE;
  Packet inPacket_;
  Frame decoded_;
  Frame converted_;
  bool decoderDraining_ = false;
  bool encoderDraining_ = false;
  int64_t lastPts_ = AV_NOPTS_VALUE;
};

}  // namespace vt::av
