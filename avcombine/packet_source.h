#pragma once
// A producer of the packets of one output stream: either the packets of an
// input stream carried over unchanged, or the packets of a re-encoding.

#include "avcombine/av_handles.h"
#include "avcombine/media_input.h"

namespace vt::av {

/// Supplies one output stream: its codec parameters and its packets in order.
class PacketSource {
 public:
  virtual ~PacketSource() = default;

  /// Fills the output stream's codec parameters and time-base hint.
  virtual void configure(AVStream* out, const AVOutputFormat* format) const = 0;

  /// Fills pkt with the next packet, timestamps in timeBase(); false at the end.
  virtual bool next(AVPacket* pkt) = 0;

  /// Time base of the timestamps next() delivers (s per tick).
  virtual AVRational timeBase() const = 0;
};

/// Frame period to give a video stream taken from in: AVI streams keep their
/// own (scale/rate) time base; other containers' fine time bases would make
/// the AVI writer fill every unused tick with an empty chunk, so the period of
/// the stream's base frame rate (the finest rate that holds every frame time,
/// also of a variable-rate stream) is used, else its average frame period.
AVRational videoTimeBase(const MediaInput& in);

}  // namespace vt::av
