#pragma once
// One input file opened for reading with its first stream of one kind (the
// first audio stream of a WAV file, the first video stream of an AVI file).

#include <string>

#include "avcombine/av_handles.h"

namespace vt::av {

/// Reads the packets of the first stream of one media type from a file.
class MediaInput {
 public:
  /// Opens fileName (a local file only) and selects its first stream of type;
  /// role ("audio", "video") names the file in error messages. Throws Error
  /// naming the file when it cannot be opened, probed or has no such stream.
  MediaInput(const std::string& fileName, AVMediaType type, const std::string& role);

  /// The selected stream (codec parameters, time base in s per tick).
  const AVStream* stream() const { return stream_; }

  /// Name of the container format (e.g. "avi", "wav").
  std::string formatName() const { return ctx_->iformat->name; }

  /// Fills pkt with the next packet of the selected stream; false at the end
  /// of the file. Throws Error on a read failure.
  bool read(AVPacket* pkt);

  /// The file name as the caller gave it.
  const std::string& fileName() const { return fileName_; }

  /// "the audio file \"name\"": how messages refer to this input.
  std::string describe() const;

 private:
  std::string fileName_;
  std::string role_;
  InputFormat ctx_;
  AVStream* stream_ = nullptr;
};

}  // namespace vt::av
