#include "avcombine/mux_audio_video.h"

#include <memory>
#include <new>

#include "avcombine/audio_stream_check.h"
#include "avcombine/av_handles.h"
#include "avcombine/media_input.h"
#include "avcombine/msvideo1_transcoder.h"
#include "avcombine/stream_copy.h"
#include "avcombine/written_file_probe.h"
#include "fileio/staged_output.h"

namespace vt {

namespace {

using av::Error;

// How the combiner's stream options appear in the library's terms:
//  - stream order: the video stream is created first (index 0, "00dc"
//    chunks), the audio stream second (index 1, "01wb" chunks);
//  - video handler code: Copy keeps the stream's own FourCC (codec_tag),
//    MsVideo1 sets "MSVC" (see msvideo1_transcoder.cpp);
//  - video data rate: Copy asks for a ceiling of 10500000 bytes/s, which only a
//    compressor could honour, so the copied packets keep their own rate;
//    MsVideo1 asks for 256 bytes/s, mapped to the encoder's highest compression;
//  - video quality: the stream's own setting needs no counterpart when packets
//    are copied, and the Video 1 encoder has none (its block-error threshold
//    is fixed); the writer records the default quality in the stream header;
//  - audio handler "WAVE": the audio is written as the WAV file stores it, its
//    wave format header rebuilt from the complete copied codec parameters;
//  - interleave every frame: packets of both streams are written in time order
//    through av_interleaved_write_frame, so audio and video chunks alternate in
//    the file as their timestamps advance;
//  - key-frame interval and codec-specific parameters (left neutral): copied
//    packets keep their own key frames, the Video 1 key-frame distance follows
//    from the data-rate intent above, no private codec options are set.

void refuseSameFile(const std::string& input, const std::string& role, const std::string& output) {
  if (sameFile(input, output)) {
    throw Error("the " + role + " file \"" + input + "\" is also the output file \"" + output +
                "\"; writing the output would replace it, so nothing was written");
  }
}

/// Opens the output's byte stream on the temporary file.
void openOutput(AVFormatContext* oc, const std::string& tempName, const std::string& outputName) {
  const std::string url = "file:" + tempName;
  const int rc = avio_open(&oc->pb, url.c_str(), AVIO_FLAG_WRITE);
  if (rc < 0)
    throw Error("cannot write the output file \"" + outputName + "\": " + av::errorText(rc));
}

/// Time of a packet for ordering the chunks (decoding time, else presentation).
int64_t orderTime(const AVPacket* p) { return p->dts != AV_NOPTS_VALUE ? p->dts : p->pts; }

/// True when packet a (in time base ta) is due no later than b (in tb).
bool dueFirst(const AVPacket* a, AVRational ta, const AVPacket* b, AVRational tb) {
  const int64_t x = orderTime(a);
  const int64_t y = orderTime(b);
  if (x == AV_NOPTS_VALUE || y == AV_NOPTS_VALUE) return x == AV_NOPTS_VALUE;
  return av_compare_ts(x, ta, y, tb) <= 0;
}

/// Keeps the decoding times of one output stream strictly increasing: a time
/// rounded onto the tick of an earlier chunk (an input frame period finer than
/// the output's) moves to the next tick, since the AVI writer stores one chunk
/// per tick in decoding order.
void keepIncreasing(AVPacket* p, int64_t& last) {
  if (p->dts != AV_NOPTS_VALUE && last != AV_NOPTS_VALUE && p->dts <= last) {
    p->dts = last + 1;
    if (p->pts != AV_NOPTS_VALUE && p->pts < p->dts) p->pts = p->dts;
  }
  if (p->dts != AV_NOPTS_VALUE) last = p->dts;
}

void combine(const std::string& audioName, const std::string& videoName,
             const std::string& outputName, const MuxOptions& options) {
  if (outputName.empty()) throw Error("the output file name is empty");
  refuseSameFile(audioName, "audio", outputName);
  refuseSameFile(videoName, "video", outputName);

  av::MediaInput audioIn(audioName, AVMEDIA_TYPE_AUDIO, "audio");
  av::checkAudioStream(audioIn);
  av::MediaInput videoIn(videoName, AVMEDIA_TYPE_VIDEO, "video");
  av::StreamCopy audio(audioIn);
  std::unique_ptr<av::PacketSource> video;
  if (options.video == VideoCoding::MsVideo1) {
    video = std::make_unique<av::MsVideo1Transcoder>(videoIn);
  } else {
    video = std::make_unique<av::StreamCopy>(videoIn);
  }

  // Declared before the muxer so the file is closed before an unfinished
  // temporary file is removed.
  StagedOutput staged(outputName);
  const std::string outError = "cannot write the output file \"" + outputName + "\": ";

  AVFormatContext* raw = nullptr;
  int rc = avformat_alloc_output_context2(&raw, nullptr, "avi", staged.tempName().c_str());
  if (rc < 0 || raw == nullptr) throw Error(outError + av::errorText(rc));
  av::OutputFormat oc(raw);

  AVStream* vs = avformat_new_stream(oc.get(), nullptr);
  if (vs == nullptr) throw Error(outError + "cannot add the video stream");
  video->configure(vs, oc->oformat);
  AVStream* as = avformat_new_stream(oc.get(), nullptr);
  if (as == nullptr) throw Error(outError + "cannot add the audio stream");
  audio.configure(as, oc->oformat);

  openOutput(oc.get(), staged.tempName(), outputName);
  rc = avformat_write_header(oc.get(), nullptr);
  if (rc < 0) throw Error(outError + av::errorText(rc));

  // The writer fixes each stream's time base in write_header; timestamps are
  // rescaled to it per packet.
  av::Packet vp = av::makePacket();
  av::Packet ap = av::makePacket();
  int64_t lastVideoDts = AV_NOPTS_VALUE;
  bool haveVideo = video->next(vp.get());
  bool haveAudio = audio.next(ap.get());
  while (haveVideo || haveAudio) {
    const bool takeVideo = haveVideo && (!haveAudio || dueFirst(vp.get(), video->timeBase(),
                                                                ap.get(), audio.timeBase()));
    AVPacket* p = takeVideo ? vp.get() : ap.get();
    AVStream* out = takeVideo ? vs : as;
    av_packet_rescale_ts(p, takeVideo ? video->timeBase() : audio.timeBase(), out->time_base);
    if (takeVideo) keepIncreasing(p, lastVideoDts);
    p->stream_index = out->index;
    p->pos = -1;
    rc = av_interleaved_write_frame(oc.get(), p);
    if (rc < 0) throw Error(outError + av::errorText(rc));
    if (takeVideo) {
      haveVideo = video->next(vp.get());
    } else {
      haveAudio = audio.next(ap.get());
    }
  }

  rc = av_write_trailer(oc.get());
  if (rc < 0) throw Error(outError + av::errorText(rc));
  avio_flush(oc->pb);
  if (oc->pb->error < 0) throw Error(outError + av::errorText(oc->pb->error));
  rc = avio_closep(&oc->pb);
  if (rc < 0) throw Error(outError + av::errorText(rc));
  oc.reset();
  // The file must open and show both streams before it replaces anything.
  av::probeWrittenFile(staged.tempName(), outputName);
  staged.commit();
}

}  // namespace

MuxResult mux_audio_video(const std::string& audioName, const std::string& videoName,
                          const std::string& outputName, const MuxOptions& options) {
  try {
    combine(audioName, videoName, outputName, options);
    return {};
  } catch (const std::bad_alloc&) {
    return {false, "out of memory combining \"" + audioName + "\" and \"" + videoName + "\""};
  } catch (const std::exception& e) {
    return {false, e.what()};
  }
}

}  // namespace vt
