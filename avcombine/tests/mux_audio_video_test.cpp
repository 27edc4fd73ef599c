// The combining operation on real media: stream order, unchanged video packets
// and audio samples, timing, the Video 1 re-encoding, and refusals that leave
// every file as it was.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <algorithm>
#include <string>
#include <tuple>

#include "avcombine/brellix.h"
#include "avcombine/mux_audio_video.h"
#include "media_fixture.h"

namespace vt {
namespace {

using test::dump;
using test::StreamDump;
using test::TempDir;

/// Checks that out holds the first video stream of video and the first audio
/// stream of audio unchanged, in this order.
void expectCarriedOver(const std::string& out, const std::string& audio, const std::string& video,
                       int videoIndex = 0) {
  const auto o = dump(out);
  ASSERT_EQ(o.size(), 2u);
  EXPECT_EQ(o[0].type, AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(o[1].type, AVMEDIA_TYPE_AUDIO);
  const StreamDump v = dump(video)[videoIndex];
  const StreamDump a = dump(audio)[0];
  ASSERT_EQ(v.type, AVMEDIA_TYPE_VIDEO);
  ASSERT_EQ(a.type, AVMEDIA_TYPE_AUDIO);

  EXPECT_EQ(o[0].codec, v.codec);
  EXPECT_EQ(o[0].tag, v.tag);
  EXPECT_EQ(o[0].width, v.width);
  EXPECT_EQ(o[0].height, v.height);
  EXPECT_EQ(av_cmp_q(o[0].frameRate, v.frameRate), 0);
  EXPECT_TRUE(o[0].packets == v.packets) << "video packets differ";
  EXPECT_EQ(o[0].keyPackets, v.keyPackets);
  EXPECT_TRUE(o[0].extradata == v.extradata) << "video format block differs";
  EXPECT_EQ(o[0].start, v.start) << "video frame times differ";

  EXPECT_EQ(o[1].codec, a.codec);
  EXPECT_EQ(o[1].sampleRate, a.sampleRate);
  EXPECT_EQ(o[1].channels, a.channels);
  EXPECT_EQ(o[1].format, a.format);
  EXPECT_EQ(o[1].blockAlign, a.blockAlign);
  EXPECT_TRUE(o[1].extradata == a.extradata) << "audio format block differs";
  EXPECT_TRUE(o[1].bytes() == a.bytes()) << "audio samples differ";
}

// Video codecs in AVI crossed with audio formats of the WAV file: every stream is
// carried over whole and unchanged, whatever its format block holds (a
// six-channel extensible wave header, or the 32 coefficient bytes after an
// MS ADPCM wave header, do not fit a fixed 18-byte block).
class CarryOver : public ::testing::TestWithParam<std::tuple<const char*, const char*, int, int>> {};

TEST_P(CarryOver, VideoPacketsAndAudioSamplesUnchanged) {
  const auto& [vcodec, acodec, rate, channels] = GetParam();
  TempDir d;
  test::makeVideo(d / "v.avi", vcodec, "64x48", 10, 1.5);
  test::makeWav(d / "a.wav", 1.5, acodec, rate, channels);
  const MuxResult r = brellix(d / "a.wav", d / "v.avi", d / "out.avi");
  ASSERT_TRUE(r.ok) << r.message;
  expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");
}

INSTANTIATE_TEST_SUITE_P(Formats, CarryOver,
                         ::testing::Values(std::make_tuple("mjpeg", "pcm_s16le", 22050, 1),
                                           std::make_tuple("mpeg4", "pcm_s24le", 48000, 2),
                                           std::make_tuple("rawvideo", "pcm_u8", 8000, 1),
                                           std::make_tuple("mjpeg", "pcm_f32le", 44100, 6),
                                           std::make_tuple("mjpeg", "adpcm_ms", 22050, 2)));

// A sound track longer or shorter than the video is carried whole, and the
// chunks of both streams are interleaved in time order throughout the file.
TEST(Combine, SoundTrackOfOtherLengthCarriedWholeAndInterleaved) {
  for (const double seconds : {4.0, 0.3}) {
    SCOPED_TRACE(seconds);
    TempDir d;
    test::makeVideo(d / "v.avi", "mjpeg", "64x48", 10, 1.0);
    test::makeWav(d / "a.wav", seconds);
    ASSERT_TRUE(brellix(d / "a.wav", d / "v.avi", d / "out.avi").ok);
    expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");
    const auto o = dump(d / "out.avi");
    EXPECT_EQ(o[1].bytes().size(), static_cast<std::size_t>(seconds * 22050 * 2 + 0.5));

    // In file order, no chunk starts later than half a second after a chunk
    // that follows it (a WAV packet covers at most 0.1 s).
    std::vector<std::pair<int64_t, double>> chunks;
    for (const auto& s : o) {
      for (std::size_t i = 0; i < s.pos.size(); ++i) chunks.emplace_back(s.pos[i], s.start[i]);
    }
    std::sort(chunks.begin(), chunks.end());
    double latest = 0;
    for (const auto& [pos, t] : chunks) {
      EXPECT_GE(t, latest - 0.5) << "chunk at " << pos << " out of time order";
      latest = std::max(latest, t);
    }
  }
}

// Only the first video stream of the video file is used: a second video stream
// and the file's own audio stay behind, and the audio comes from the WAV file.
TEST(Combine, OnlyFirstVideoStreamOfVideoFile) {
  TempDir d;
  test::makeVideo(d / "v1.avi", "mjpeg", "64x48", 10, 1.0);
  test::makeVideo(d / "v2.avi", "mpeg4", "32x24", 5, 1.0);
  test::makeWav(d / "own.wav", 1.0, "pcm_s16le", 8000, 1, 1000);
  test::makeWav(d / "a.wav", 1.0, "pcm_s16le", 22050, 1, 440);
  // Audio of its own first, then two video streams.
  test::ffmpeg("-i " + test::q(d / "own.wav") + " -i " + test::q(d / "v1.avi") + " -i " +
               test::q(d / "v2.avi") + " -map 0:a -map 1:v -map 2:v -c copy " + test::q(d / "multi.avi"));
  const auto m = dump(d / "multi.avi");
  ASSERT_EQ(m.size(), 3u);
  ASSERT_EQ(m[1].type, AVMEDIA_TYPE_VIDEO);

  ASSERT_TRUE(brellix(d / "a.wav", d / "multi.avi", d / "out.avi").ok);
  expectCarriedOver(d / "out.avi", d / "a.wav", d / "multi.avi", 1);

  // The same file as the audio source gives its own first audio stream.
  ASSERT_TRUE(brellix(d / "multi.avi", d / "multi.avi", d / "self.avi").ok);
  EXPECT_TRUE(dump(d / "self.avi")[1].bytes() == m[0].bytes());
}

// vantrix's coding: Microsoft Video 1 under the FourCC "MSVC", one coded
// picture per input frame at the input's frame rate, decodable throughout,
// audio unchanged.
TEST(Combine, MsVideo1ReencodingFrameForFrame) {
  for (const char* vcodec : {"mjpeg", "mpeg4"}) {
    SCOPED_TRACE(vcodec);
    TempDir d;
    test::makeVideo(d / "v.avi", vcodec, "64x48", 12, 2.0);
    test::makeWav(d / "a.wav", 2.0);
    const MuxResult r = mux_audio_video(d / "a.wav", d / "v.avi", d / "out.avi", {VideoCoding::MsVideo1});
    ASSERT_TRUE(r.ok) << r.message;
    const auto o = dump(d / "out.avi");
    const auto v = dump(d / "v.avi");
    ASSERT_EQ(o.size(), 2u);
    EXPECT_EQ(o[0].codec, AV_CODEC_ID_MSVIDEO1);
    EXPECT_EQ(o[0].tag, MKTAG('M', 'S', 'V', 'C'));
    EXPECT_EQ(o[0].width, 64);
    EXPECT_EQ(o[0].height, 48);
    EXPECT_EQ(av_cmp_q(o[0].frameRate, v[0].frameRate), 0);
    EXPECT_EQ(o[0].packets.size(), v[0].packets.size());
    EXPECT_EQ(o[0].start, v[0].start);
    EXPECT_GE(o[0].keyPackets, 1);
    EXPECT_EQ(test::decodedFrames(d / "out.avi"), test::decodedFrames(d / "v.avi"));
    EXPECT_TRUE(o[1].bytes() == dump(d / "a.wav")[0].bytes());
  }
}

/// One refused call: the files it names and what its message must say.
struct Refusal {
  const char* what;
  const char* audio;
  const char* video;
  const char* output;
  VideoCoding coding;
  std::vector<std::string> says;
};

// Every refusal names the file and the reason, and leaves the directory as it
// was: inputs and an earlier output unchanged, no partial or temporary file.
TEST(Combine, RefusalsLeaveEveryFileAsItWas) {
  TempDir d;
  test::makeVideo(d / "v.avi");
  test::makeVideo(d / "odd.avi", "mjpeg", "66x50");
  test::makeWav(d / "a.wav");
  test::writeFile(d / "junk.avi", "this is not a video\n");
  test::writeFile(d / "out.avi", "earlier output");
  std::filesystem::create_directory(d / "sub");
  std::filesystem::create_hard_link(d / "v.avi", d / "link.avi");
  const auto before = test::snapshot(d.path());

  const std::vector<Refusal> cases = {
      {"missing audio", "none.wav", "v.avi", "out.avi", VideoCoding::Copy,
       {"audio file", "none.wav", "No such file"}},
      {"missing video", "a.wav", "none.avi", "out.avi", VideoCoding::Copy,
       {"video file", "none.avi", "No such file"}},
      {"no audio stream", "v.avi", "v.avi", "out.avi", VideoCoding::Copy,
       {"audio file", "v.avi", "no audio stream"}},
      {"no video stream", "a.wav", "a.wav", "out.avi", VideoCoding::Copy,
       {"video file", "a.wav", "no video stream"}},
      {"not media", "a.wav", "junk.avi", "out.avi", VideoCoding::Copy, {"video file", "junk.avi"}},
      {"directory as input", "sub", "v.avi", "out.avi", VideoCoding::Copy,
       {"audio file", "sub", "not a regular file"}},
      {"no such output directory", "a.wav", "v.avi", "none/out.avi", VideoCoding::Copy,
       {"output file", "none/out.avi", "No such file"}},
      {"output is a directory", "a.wav", "v.avi", "sub", VideoCoding::Copy,
       {"output file", "sub", "directory"}},
      {"output is the video", "a.wav", "v.avi", "./v.avi", VideoCoding::Copy,
       {"video file", "v.avi", "replace"}},
      {"output is a link to the video", "a.wav", "v.avi", "link.avi", VideoCoding::Copy,
       {"video file", "link.avi", "replace"}},
      {"output is the audio", "a.wav", "v.avi", "a.wav", VideoCoding::MsVideo1,
       {"audio file", "a.wav", "replace"}},
      {"frame size off the 4x4 grid", "a.wav", "odd.avi", "out.avi", VideoCoding::MsVideo1,
       {"odd.avi", "66x50", "multiple of 4"}},
      {"empty output name", "a.wav", "v.avi", "", VideoCoding::Copy, {"output file name is empty"}},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    const auto at = [&](const char* n) { return *n ? d / n : std::string(); };
    const MuxResult r = mux_audio_video(at(c.audio), at(c.video), at(c.output), {c.coding});
    EXPECT_FALSE(r.ok);
    for (const auto& s : c.says) EXPECT_NE(r.message.find(s), std::string::npos) << r.message;
    EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
  }
}

// Failures after the output was begun (a write refused by the file system, a
// picture that cannot be decoded half-way) remove the unfinished file and
// keep the earlier output.
TEST(Combine, FailuresWhileWritingLeaveNoPartialOutput) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mjpeg", "64x48", 10, 3.0);
  test::makeVideo(d / "raw.avi", "rawvideo", "64x48", 10, 1.0);
  test::makeWav(d / "a.wav", 3.0);
  test::writeFile(d / "out.avi", "earlier output");
  // Cut the raw video inside a picture: its last packet is short.
  const std::string raw = test::readFile(d / "raw.avi");
  test::writeFile(d / "cut.avi", raw.substr(0, raw.size() / 2));
  const auto before = test::snapshot(d.path());

  const MuxResult cut = mux_audio_video(d / "a.wav", d / "cut.avi", d / "out.avi", {VideoCoding::MsVideo1});
  EXPECT_FALSE(cut.ok);
  EXPECT_NE(cut.message.find("cut.avi"), std::string::npos) << cut.message;
  EXPECT_NE(cut.message.find("decode"), std::string::npos) << cut.message;
  EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";

  // Files of this process may not grow beyond 16 KiB: the write fails part-way.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 16 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const MuxResult full = brellix(d / "a.wav", d / "v.avi", d / "out.avi");
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(full.ok);
  EXPECT_NE(full.message.find("output file \"" + d / "out.avi" + "\""), std::string::npos) << full.message;
  EXPECT_NE(full.message.find("File too large"), std::string::npos) << full.message;
  EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
}

// A successful call replaces an earlier output only when it is complete, and
// leaves nothing else behind.
TEST(Combine, ReplacesEarlierOutputWithoutLeftovers) {
  TempDir d;
  test::makeVideo(d / "v.avi");
  test::makeWav(d / "a.wav");
  test::writeFile(d / "out.avi", "earlier output");
  ASSERT_TRUE(brellix(d / "a.wav", d / "v.avi", d / "out.avi").ok);
  expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");
  const auto after = test::snapshot(d.path());
  EXPECT_EQ(after.size(), 3u);  // a.wav, v.avi, out.avi
  // Relative names resolve against the working directory.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(d.path());
  EXPECT_TRUE(brellix("a.wav", "v.avi", "rel.avi").ok);
  std::filesystem::current_path(cwd);
  EXPECT_EQ(dump(d / "rel.avi").size(), 2u);
}

}  // namespace
}  // namespace vt
