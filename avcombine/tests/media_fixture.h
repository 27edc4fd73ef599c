#pragma once
// Test media and inspection for the combiner tests: a private temporary
// directory, media made with the ffmpeg program from its synthetic sources
// (test-pattern video, sine tones), a snapshot of a directory's files, and the
// packets and decoded frames of a stream read back through libavformat.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vt::test {

namespace fs = std::filesystem;

/// Exit status and standard output (and error, when merged) of a shell command.
struct Run {
  int status = -1;
  std::string out;
};

/// Runs cmd through the shell and captures what it prints.
inline Run run(const std::string& cmd) {
  Run r;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

/// Single-quotes s for the shell.
inline std::string q(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

/// A fresh directory removed with its contents at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "avcombine-test-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  /// Full name of a file in the directory.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

/// Runs ffmpeg quietly with args; fails the test if it fails.
inline void ffmpeg(const std::string& args) {
  const Run r = run(std::string(VT_FFMPEG) + " -nostdin -hide_banner -loglevel error -y " + args + " 2>&1");
  ASSERT_EQ(r.status, 0) << "ffmpeg " << args << "\n" << r.out;
}

/// An AVI with size WxH test-pattern video at rate frames/s, seconds long.
inline void makeVideo(const std::string& path, const std::string& codec = "mjpeg",
                      const std::string& size = "64x48", int rate = 10, double seconds = 1.0) {
  ffmpeg("-f lavfi -i testsrc=size=" + size + ":rate=" + std::to_string(rate) + " -t " +
         std::to_string(seconds) + " -c:v " + codec + " " + q(path));
}

/// A WAV of a sine tone in the given PCM codec, rate and channel count.
inline void makeWav(const std::string& path, double seconds = 1.0, const std::string& codec = "pcm_s16le",
                    int rate = 22050, int channels = 1, int freq = 440) {
  ffmpeg("-f lavfi -i sine=frequency=" + std::to_string(freq) + ":sample_rate=" + std::to_string(rate) +
         " -t " + std::to_string(seconds) + " -ac " + std::to_string(channels) + " -c:a " + codec + " " +
         q(path));
}

inline std::string readFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void writeFile(const fs::path& p, const std::string& content) {
  std::ofstream f(p, std::ios::binary);
  f << content;
}

/// Names and contents of the regular files in dir (subdirectories by name).
inline std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    m[name] = e.is_regular_file() ? readFile(e.path()) : std::string("<dir>");
  }
  return m;
}

/// One stream read back from a file.
struct StreamDump {
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  AVCodecID codec = AV_CODEC_ID_NONE;
  unsigned tag = 0;
  int width = 0, height = 0;
  int sampleRate = 0, channels = 0, format = -1, blockAlign = 0;
  AVRational timeBase{0, 1}, frameRate{0, 1};
  std::string extradata;             ///< codec set-up bytes of the format block
  std::vector<std::string> packets;  ///< payload of every packet, in order
  std::vector<int64_t> pos;          ///< file offset of every packet
  std::vector<double> start;         ///< presentation time of every packet, s
  int keyPackets = 0;
  /// All payload bytes in order (the PCM samples of an audio stream).
  std::string bytes() const {
    std::string s;
    for (const auto& p : packets) s += p;
    return s;
  }
};

/// Every stream of file with all its packets (empty vector if unreadable).
inline std::vector<StreamDump> dump(const std::string& file) {
  std::vector<StreamDump> out;
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, file.c_str(), nullptr, nullptr) < 0) return out;
  avformat_find_stream_info(ctx, nullptr);
  for (unsigned i = 0; i < ctx->nb_streams; ++i) {
    const AVStream* s = ctx->streams[i];
    const AVCodecParameters* p = s->codecpar;
    StreamDump d;
    d.type = p->codec_type;
    d.codec = p->codec_id;
    d.tag = p->codec_tag;
    d.width = p->width;
    d.height = p->height;
    d.sampleRate = p->sample_rate;
    d.channels = p->ch_layout.nb_channels;
    d.format = p->format;
    d.blockAlign = p->block_align;
    d.timeBase = s->time_base;
    if (p->extradata != nullptr) d.extradata.assign(reinterpret_cast<const char*>(p->extradata), p->extradata_size);
    d.frameRate = s->avg_frame_rate;
    out.push_back(d);
  }
  AVPacket* pkt = av_packet_alloc();
  while (av_read_frame(ctx, pkt) >= 0) {
    StreamDump& d = out[pkt->stream_index];
    d.packets.emplace_back(reinterpret_cast<const char*>(pkt->data), pkt->size);
    d.pos.push_back(pkt->pos);
    d.start.push_back(pkt->pts == AV_NOPTS_VALUE ? -1.0 : pkt->pts * av_q2d(d.timeBase));
    if (pkt->flags & AV_PKT_FLAG_KEY) ++d.keyPackets;
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  avformat_close_input(&ctx);
  return out;
}

/// Number of pictures the first video stream of file decodes to; -1 on a
/// decoding error.
inline int decodedFrames(const std::string& file) {
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, file.c_str(), nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(ctx, nullptr);
  const int vi = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int frames = vi < 0 ? -1 : 0;
  const AVCodec* codec = vi < 0 ? nullptr : avcodec_find_decoder(ctx->streams[vi]->codecpar->codec_id);
  AVCodecContext* dec = codec ? avcodec_alloc_context3(codec) : nullptr;
  AVPacket* pkt = av_packet_alloc();
  AVFrame* f = av_frame_alloc();
  if (dec == nullptr || avcodec_parameters_to_context(dec, ctx->streams[vi]->codecpar) < 0 ||
      avcodec_open2(dec, codec, nullptr) < 0) {
    frames = -1;
  }
  auto drain = [&] {
    while (avcodec_receive_frame(dec, f) == 0) ++frames;
  };
  while (frames >= 0 && av_read_frame(ctx, pkt) >= 0) {
    if (pkt->stream_index == vi && pkt->size > 0) {
      if (avcodec_send_packet(dec, pkt) < 0) frames = -1;
      if (frames >= 0) drain();
    }
    av_packet_unref(pkt);
  }
  if (frames >= 0) {
    avcodec_send_packet(dec, nullptr);
    drain();
  }
  av_frame_free(&f);
  av_packet_free(&pkt);
  avcodec_free_context(&dec);
  avformat_close_input(&ctx);
  return frames;
}

}  // namespace vt::test
