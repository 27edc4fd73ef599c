#pragma once
// Carries the packets of an input stream into the output unchanged.

#include "avcombine/packet_source.h"

namespace vt::av {

/// The packets of the selected stream of an input, unchanged (no re-encoding).
class StreamCopy final : public PacketSource {
 public:
  /// Reads from in, which must outlive this object.
  explicit StreamCopy(MediaInput& in);

  /// Copies every codec parameter of the input stream (the complete format
  /// block: bitmap or wave header fields and any codec extradata) and keeps the
  /// stream's own four-character code where the AVI writer accepts it for the
  /// codec; otherwise the writer's standard code for the codec is used.
  void configure(AVStream* out, const AVOutputFormat* format) const override;

  bool next(AVPacket* pkt) override;
  AVRational timeBase() const override { return in_.stream()->time_base; }

 private:
  MediaInput& in_;
};

}  // namespace vt::av
