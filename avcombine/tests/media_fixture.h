#pragma once
// Test media and inspection for the combiner tests: a private temporary
// directory, media made with the ffmpeg program from its synthetic sources
// (test-pattern video, sine tones), a snapshot of a directory's files, and the
// packets of every stream read back through libavformat.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vt::test {

namespace fs = std::filesystem;

/// Exit status and standard output of a shell command.
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

/// A video file of size WxH test pattern at rate frames/s, seconds long.
inline void makeVideo(const std::string& path, const std::string& codec = "mjpeg",
                      const std::string& size = "64x48", int rate = 10, double seconds = 1.0) {
  ffmpeg("-f lavfi -i testsrc=size=" + size + ":rate=" + std::to_string(rate) + " -t " +
         std::to_string(seconds) + " -c:v " + codec + " " + q(path));
}

/// A sound file of a sine tone in the given codec, rate and channel count.
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
  std::ofstream(p, std::ios::binary) << content;
}

/// Names and contents of the entries of dir (subdirectories by name).
inline std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::directory_iterator(dir)) {
    m[e.path().filename().string()] = e.is_regular_file() ? readFile(e.path()) : "<dir>";
  }
  return m;
}

/// One stream read back from a file.
struct StreamDump {
  std::shared_ptr<const AVCodecParameters> par;  ///< codec parameters (format block)
  AVRational timeBase{0, 1}, frameRate{0, 1};
  std::vector<std::string> packets;  ///< payload of every packet, in order
  std::vector<int64_t> pos;          ///< file offset of every packet
  std::vector<double> time;          ///< decoding (else presentation) time of every packet, s
  int keyPackets = 0;

  AVMediaType type() const { return par->codec_type; }
  /// Codec set-up bytes of the format block.
  std::string extradata() const {
    return par->extradata ? std::string(reinterpret_cast<const char*>(par->extradata), par->extradata_size)
                          : std::string();
  }
  /// All payload bytes in order (the samples of an audio stream).
  std::string bytes() const {
    std::string s;
    for (const auto& p : packets) s += p;
    return s;
  }
};

/// Every stream of file with all its packets (empty if unreadable).
inline std::vector<StreamDump> dump(const std::string& file) {
  std::vector<StreamDump> out;
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, file.c_str(), nullptr, nullptr) < 0) return out;
  avformat_find_stream_info(ctx, nullptr);
  out.resize(ctx->nb_streams);
  for (unsigned i = 0; i < ctx->nb_streams; ++i) {
    AVCodecParameters* par = avcodec_parameters_alloc();
    avcodec_parameters_copy(par, ctx->streams[i]->codecpar);
    out[i].par.reset(par, [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    out[i].timeBase = ctx->streams[i]->time_base;
    out[i].frameRate = ctx->streams[i]->avg_frame_rate;
  }
  AVPacket* pkt = av_packet_alloc();
  while (av_read_frame(ctx, pkt) >= 0) {
    StreamDump& d = out[pkt->stream_index];
    d.packets.emplace_back(reinterpret_cast<const char*>(pkt->data), pkt->size);
    d.pos.push_back(pkt->pos);
    const int64_t t = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
    d.time.push_back(t == AV_NOPTS_VALUE ? -1.0 : t * av_q2d(d.timeBase));
    if (pkt->flags & AV_PKT_FLAG_KEY) ++d.keyPackets;
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  avformat_close_input(&ctx);
  return out;
}

}  // namespace vt::test
