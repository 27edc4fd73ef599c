// The combining operation on real media: stream order, unchanged video packets
// and audio samples, timing, the Video 1 re-encoding, and refusals that leave
// every file as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "avcombine/brellix.h"
#include "avcombine/mux_audio_video.h"
#include "media_fixture.h"

namespace vt {
namespace {

using test::dump;
using test::TempDir;

/// Checks that out holds stream videoIndex of video and the first stream of
/// audio, unchanged, as its video and audio streams in this order.
void expectCarriedOver(const std::string& out, const std::string& audio, const std::string& video,
                       int videoIndex = 0) {
  const auto o = dump(out);
  ASSERT_EQ(o.size(), 2u);
  const auto v = dump(video)[videoIndex];
  const auto a = dump(audio)[0];
  ASSERT_EQ(v.type(), AVMEDIA_TYPE_VIDEO);
  ASSERT_EQ(a.type(), AVMEDIA_TYPE_AUDIO);
  EXPECT_EQ(o[0].type(), AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(o[1].type(), AVMEDIA_TYPE_AUDIO);
  for (const auto& [x, y] : {std::pair{&o[0], &v}, std::pair{&o[1], &a}}) {
    const AVCodecParameters* p = x->par.get();
    const AVCodecParameters* r = y->par.get();
    SCOPED_TRACE(av_get_media_type_string(p->codec_type));
    EXPECT_EQ(std::tie(p->codec_id, p->codec_tag, p->width, p->height, p->format, p->sample_rate,
                       p->ch_layout.nb_channels, p->block_align, p->bits_per_coded_sample),
              std::tie(r->codec_id, r->codec_tag, r->width, r->height, r->format, r->sample_rate,
                       r->ch_layout.nb_channels, r->block_align, r->bits_per_coded_sample));
    EXPECT_TRUE(x->extradata() == y->extradata()) << "format block differs";
    EXPECT_TRUE(x->bytes() == y->bytes()) << "packets differ";
  }
  EXPECT_TRUE(o[0].packets == v.packets) << "video packets differ";
  EXPECT_EQ(o[0].keyPackets, v.keyPackets);
  EXPECT_EQ(o[0].time, v.time) << "video frame times differ";
  EXPECT_EQ(av_cmp_q(o[0].frameRate, v.frameRate), 0);
}

// Video codecs in AVI crossed with audio formats of the WAV file: every stream is
// carried over whole and unchanged, whatever its format block holds (a
// six-channel extensible wave header, or the 32 coefficient bytes after an
// MS ADPCM wave header, do not fit a fixed 18-byte block).
TEST(Combine, VideoPacketsAndAudioSamplesUnchanged) {
  const std::tuple<const char*, const char*, int, int> formats[] = {
      {"mpeg4", "pcm_s24le", 48000, 2}, {"rawvideo", "pcm_u8", 8000, 1},
      {"mjpeg", "pcm_f32le", 44100, 6}, {"mjpeg", "adpcm_ms", 22050, 2}};
  for (const auto& [vcodec, acodec, rate, channels] : formats) {
    SCOPED_TRACE(std::string(vcodec) + " " + acodec);
    TempDir d;
    test::makeVideo(d / "v.avi", vcodec, "64x48", 10, 1.5);
    test::makeWav(d / "a.wav", 1.5, acodec, rate, channels);
    const MuxResult r = brellix(d / "a.wav", d / "v.avi", d / "out.avi");
    ASSERT_TRUE(r.ok) << r.message;
    expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");
  }
}

// A sound track longer or shorter than the video is carried whole, and the
// chunks of both streams are interleaved in time order throughout the file.
TEST(Combine, SoundTrackOfOtherLengthCarriedWholeAndInterleaved) {
  for (const double seconds : {4.0, 0.3}) {
    SCOPED_TRACE(seconds);
    TempDir d;
    test::makeVideo(d / "v.avi");
    test::makeWav(d / "a.wav", seconds);
    ASSERT_TRUE(brellix(d / "a.wav", d / "v.avi", d / "out.avi").ok);
    expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");
    const auto o = dump(d / "out.avi");

    // In file order, no chunk starts later than half a second after a chunk
    // that follows it (a WAV packet covers at most 0.1 s).
    std::vector<std::pair<int64_t, double>> chunks;
    for (const auto& s : o) {
      for (std::size_t i = 0; i < s.pos.size(); ++i) chunks.emplace_back(s.pos[i], s.time[i]);
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
  test::makeVideo(d / "v1.avi");
  test::makeVideo(d / "v2.avi", "mpeg4", "32x24", 5);
  test::makeWav(d / "own.wav", 1.0, "pcm_s16le", 8000, 1, 1000);
  test::makeWav(d / "a.wav");
  // Audio of its own first, then two video streams.
  test::ffmpeg("-i " + test::q(d / "own.wav") + " -i " + test::q(d / "v1.avi") + " -i " +
               test::q(d / "v2.avi") + " -map 0:a -map 1:v -map 2:v -c copy " + test::q(d / "multi.avi"));
  ASSERT_TRUE(brellix(d / "a.wav", d / "multi.avi", d / "out.avi").ok);
  expectCarriedOver(d / "out.avi", d / "a.wav", d / "multi.avi", 1);

  // The same file as the audio source gives its own first audio stream.
  ASSERT_TRUE(brellix(d / "multi.avi", d / "multi.avi", d / "self.avi").ok);
  EXPECT_TRUE(dump(d / "self.avi")[1].bytes() == dump(d / "own.wav")[0].bytes());
}

// Both codings keep every frame on its own time, also for a variable frame
// rate (0.1 s, then 0.3 s apart) whose average rate fits none of the frame
// times; Video 1 codes one picture per input frame, only the first whole (the
// encoder's smallest stream), and the audio stays unchanged.
TEST(Combine, FrameTimesKeptAndVideo1FrameForFrame) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mjpeg", "64x48", 12, 2.0);
  test::ffmpeg("-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -vf "
               "\"setpts='if(lt(N,10),N*0.1/TB,(1+(N-10)*0.3)/TB)'\" -fps_mode vfr -c:v mpeg4 " +
               test::q(d / "vfr.mp4"));
  test::makeWav(d / "a.wav", 2.0);
  for (const char* in : {"v.avi", "vfr.mp4"}) {
    SCOPED_TRACE(in);
    const auto v = dump(d / in)[0];
    for (const VideoCoding coding : {VideoCoding::Copy, VideoCoding::MsVideo1}) {
      const MuxResult r = mux_audio_video(d / "a.wav", d / in, d / "out.avi", {coding});
      ASSERT_TRUE(r.ok) << r.message;
      const auto o = dump(d / "out.avi");
      ASSERT_EQ(o.size(), 2u);
      EXPECT_EQ(o[0].time, v.time);
      EXPECT_TRUE(o[1].bytes() == dump(d / "a.wav")[0].bytes());
      if (coding == VideoCoding::Copy) {
        EXPECT_TRUE(o[0].packets == v.packets);
        continue;
      }
      EXPECT_EQ(o[0].par->codec_id, AV_CODEC_ID_MSVIDEO1);
      EXPECT_EQ(o[0].par->codec_tag, MKTAG('M', 'S', 'V', 'C'));
      EXPECT_EQ(std::pair(o[0].par->width, o[0].par->height), std::pair(64, 48));
      EXPECT_EQ(o[0].keyPackets, 1);
    }
  }
}

/// One refused call: the files it names and what its message must say.
struct Refusal {
  const char* what;
  const char* audio;
  const char* video;
  std::string output;
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
  test::makeWav(d / "aonly.avi");
  test::makeWav(d / "opus.ogg", 1.0, "libopus", 48000);
  test::writeFile(d / "empty.wav", "");
  test::writeFile(d / "junk.avi", "this is not a video\n");
  test::writeFile(d / "out.avi", "earlier output");
  std::filesystem::create_directory(d / "sub");
  std::filesystem::create_hard_link(d / "v.avi", d / "link.avi");
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
  const auto before = test::snapshot(d.path());
  const std::string longName(256, 'x');

  const auto copy = VideoCoding::Copy;
  const std::vector<Refusal> cases = {
      {"missing audio", "none.wav", "v.avi", "out.avi", copy, {"audio file", "none.wav", "No such file"}},
      {"missing video", "a.wav", "none.avi", "out.avi", copy, {"video file", "none.avi", "No such file"}},
      {"empty audio file", "empty.wav", "v.avi", "out.avi", copy, {"audio file", "empty.wav", "Invalid data"}},
      {"text as video", "a.wav", "junk.avi", "out.avi", copy, {"video file", "junk.avi", "Invalid data"}},
      {"no audio stream", "v.avi", "v.avi", "out.avi", copy, {"audio file", "v.avi", "no audio stream"}},
      {"no video stream", "a.wav", "aonly.avi", "out.avi", copy, {"video file", "aonly.avi", "no video stream"}},
      {"audio AVI cannot hold", "opus.ogg", "v.avi", "out.avi", copy, {"opus.ogg", "opus audio", "cannot carry"}},
      {"directory as input", "sub", "v.avi", "out.avi", copy, {"audio file", "sub", "not a regular file"}},
      {"no such output directory", "a.wav", "v.avi", "none/out.avi", copy, {"none/out.avi", "No such file"}},
      {"output is a directory", "a.wav", "v.avi", "sub", copy, {"output file", "sub", "directory"}},
      // Renamed over, a FIFO or device (/dev/null) would become a regular file.
      {"output is a FIFO", "a.wav", "v.avi", "fifo", copy, {"output file", "fifo", "not a regular file"}},
      {"output name too long", "a.wav", "v.avi", longName, copy, {"output file", "File name too long"}},
      {"output is the video", "a.wav", "v.avi", "./v.avi", copy, {"video file", "v.avi", "replace"}},
      {"output is a link to the video", "a.wav", "v.avi", "link.avi", copy, {"link.avi", "replace"}},
      {"output is the audio", "a.wav", "v.avi", "a.wav", VideoCoding::MsVideo1, {"audio file", "replace"}},
      {"frame size off the 4x4 grid", "a.wav", "odd.avi", "out.avi", VideoCoding::MsVideo1,
       {"odd.avi", "66x50", "multiple of 4"}},
      {"empty output name", "a.wav", "v.avi", "", copy, {"output file name is empty"}},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string out = c.output.empty() ? "" : d / c.output;
    const MuxResult r = mux_audio_video(d / c.audio, d / c.video, out, {c.coding});
    EXPECT_FALSE(r.ok);
    for (const auto& s : c.says) EXPECT_NE(r.message.find(s), std::string::npos) << r.message;
    EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
  }
}

// A picture that cannot be decoded half-way through removes the unfinished
// file and keeps the earlier output.
TEST(Combine, FailureWhileWritingLeavesNoPartialOutput) {
  TempDir d;
  test::makeVideo(d / "raw.avi", "rawvideo");
  test::makeWav(d / "a.wav");
  test::writeFile(d / "out.avi", "earlier output");
  // Cut the raw video inside a picture: its last packet is short.
  const std::string raw = test::readFile(d / "raw.avi");
  test::writeFile(d / "cut.avi", raw.substr(0, raw.size() / 2));
  const auto before = test::snapshot(d.path());
  const MuxResult r = mux_audio_video(d / "a.wav", d / "cut.avi", d / "out.avi", {VideoCoding::MsVideo1});
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("cannot decode the video of the video file \"" + d / "cut.avi"), std::string::npos)
      << r.message;
  EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
}

}  // namespace
}  // namespace vt
