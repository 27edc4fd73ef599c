#pragma once
// Test media made by the ffmpeg program, a private temporary directory and its
// snapshot, and every stream of a file read back through libavformat.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vt::test {

namespace fs = std::filesystem;

/// Exit status and standard output of cmd run through the shell.
inline std::pair<int, std::string> run(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return {-1, out};
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int st = pclose(p);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

/// s single-quoted for the shell.
inline std::string q(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

/// A fresh directory, removed with its contents at the end of the test.
struct TempDir {
  TempDir() {
    std::string t = (fs::temp_directory_path() / "avcombine-test-XXXXXX").string();
    if (mkdtemp(t.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = t;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

inline void ffmpeg(const std::string& args) {
  const auto [status, out] =
      run(std::string(VT_FFMPEG) + " -nostdin -loglevel error -y " + args + " 2>&1");
  ASSERT_EQ(status, 0) << "ffmpeg " << args << "\n" << out;
}

/// A test-pattern video of the given codec, size, frames/s and length in s.
inline void makeVideo(const std::string& path, const std::string& codec = "mjpeg",
                      const std::string& size = "64x48", int rate = 10, double seconds = 1.0) {
  ffmpeg("-f lavfi -i testsrc=size=" + size + ":rate=" + std::to_string(rate) + " -t " +
         std::to_string(seconds) + " -c:v " + codec + " " + q(path));
}

/// A 440 Hz sine tone of the given length in s, codec, sample rate in Hz and channels.
inline void makeWav(const std::string& path, double seconds = 1.0,
                    const std::string& codec = "pcm_s16le", int rate = 22050, int channels = 1) {
  ffmpeg("-f lavfi -i sine=sample_rate=" + std::to_string(rate) + " -t " + std::to_string(seconds) +
         " -ac " + std::to_string(channels) + " -c:a " + codec + " " + q(path));
}

inline std::string readFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

inline void writeFile(const fs::path& p, const std::string& content) {
  std::ofstream(p, std::ios::binary) << content;
}

/// A copy of the WAV file from with the channel count of its format header
/// set to channels.
inline void writeWavWithChannels(const fs::path& from, const fs::path& to, uint16_t channels) {
  std::string w = readFile(from);
  const std::size_t fmt = w.find("fmt ");
  ASSERT_NE(fmt, std::string::npos);
  w[fmt + 10] = static_cast<char>(channels & 0xff);
  w[fmt + 11] = static_cast<char>(channels >> 8);
  writeFile(to, w);
}

/// Names and contents of the entries of dir (subdirectories by name only).
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
  std::string extradata;                         ///< codec set-up bytes of the format block
  std::vector<std::string> packets;              ///< payload of every packet, in order
  std::string bytes;                             ///< all payload bytes (an audio stream's samples)
  std::vector<int64_t> pos;                      ///< file offset of every packet
  std::vector<double> time;  ///< decoding (else presentation) time of every packet, s
  int keyPackets = 0;
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
    out[i].extradata.assign(reinterpret_cast<const char*>(par->extradata), par->extradata_size);
  }
  AVPacket* pkt = av_packet_alloc();
  while (av_read_frame(ctx, pkt) >= 0) {
    StreamDump& d = out[pkt->stream_index];
    d.bytes += d.packets.emplace_back(reinterpret_cast<const char*>(pkt->data), pkt->size);
    d.pos.push_back(pkt->pos);
    const int64_t t = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
    d.time.push_back(t == AV_NOPTS_VALUE ? -1.0
                                         : t * av_q2d(ctx->streams[pkt->stream_index]->time_base));
    d.keyPackets += (pkt->flags & AV_PKT_FLAG_KEY) != 0;
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  avformat_close_input(&ctx);
  return out;
}

}  // namespace vt::test
