// The combining operation on real media.

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "avcombine/brellix.h"
#include "media_fixture.h"

namespace vt {
namespace {

using test::dump, test::TempDir;

/// out holds stream videoIndex of video, then the first stream of audio, unchanged.
void expectCarriedOver(const std::string& out, const std::string& audio, const std::string& video,
                       int videoIndex = 0) {
  const auto o = dump(out);
  ASSERT_EQ(o.size(), 2u);
  const auto v = dump(video)[videoIndex];
  const auto a = dump(audio)[0];
  for (const auto& [x, y] : {std::pair{&o[0], &v}, std::pair{&o[1], &a}}) {
    const AVCodecParameters* p = x->par.get();
    const AVCodecParameters* r = y->par.get();
    SCOPED_TRACE(av_get_media_type_string(r->codec_type));
    EXPECT_EQ(std::tie(p->codec_type, p->codec_id, p->codec_tag, p->width, p->height, p->format,
                       p->sample_rate, p->ch_layout.nb_channels, p->block_align),
              std::tie(r->codec_type, r->codec_id, r->codec_tag, r->width, r->height, r->format,
                       r->sample_rate, r->ch_layout.nb_channels, r->block_align));
    EXPECT_TRUE(x->extradata == y->extradata) << "format block differs";
    EXPECT_TRUE(x->bytes == y->bytes) << "payload differs";
  }
  EXPECT_TRUE(o[0].packets == v.packets) << "video packets differ";
  EXPECT_EQ(o[0].keyPackets, v.keyPackets);
  EXPECT_EQ(o[0].time, v.time) << "video frame times differ";
}

// Whatever the format blocks hold (a six-channel extensible wave header, the
// coefficients after an MS ADPCM header), and whether the sound track is
// longer or shorter than the video, both streams are carried whole and their
// chunks interleaved in time order.
TEST(Combine, StreamsCarriedWholeAndInterleaved) {
  const std::tuple<const char*, const char*, int, int, double> formats[] = {
      {"mpeg4", "adpcm_ms", 22050, 2, 1.5},
      {"rawvideo", "pcm_u8", 8000, 1, 4.0},
      {"mjpeg", "pcm_f32le", 44100, 6, 0.3}};
  for (const auto& [vcodec, acodec, rate, channels, seconds] : formats) {
    SCOPED_TRACE(std::string(vcodec) + " " + acodec);
    TempDir d;
    test::makeVideo(d / "v.avi", vcodec, "64x48", 10, 1.5);
    test::makeWav(d / "a.wav", seconds, acodec, rate, channels);
    const MuxResult r = brellix(d / "a.wav", d / "v.avi", d / "out.avi");
    ASSERT_TRUE(r.ok) << r.message;
    expectCarriedOver(d / "out.avi", d / "a.wav", d / "v.avi");

    // In file order no chunk starts more than 0.5 s before an earlier one (a
    // WAV packet covers at most 0.1 s). Not for ADPCM, whose chunk times are
    // read back from the nominal byte rate the test's WAV header states.
    if (std::string(acodec) == "adpcm_ms") continue;
    std::vector<std::pair<int64_t, double>> chunks;
    for (const auto& s : dump(d / "out.avi")) {
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

// Of an AVI with audio of its own and two video streams only the first video
// stream is taken; as the audio source it gives its own first audio stream.
TEST(Combine, OnlyFirstStreamOfEachKind) {
  TempDir d;
  test::makeVideo(d / "v1.avi");
  test::makeVideo(d / "v2.avi", "mpeg4", "32x24", 5);
  test::makeWav(d / "own.wav", 1.0, "pcm_s16le", 8000);
  test::makeWav(d / "a.wav");
  test::ffmpeg("-i " + test::q(d / "own.wav") + " -i " + test::q(d / "v1.avi") + " -i " +
               test::q(d / "v2.avi") + " -map 0:a -map 1:v -map 2:v -c copy " +
               test::q(d / "multi.avi"));
  ASSERT_TRUE(brellix(d / "a.wav", d / "multi.avi", d / "out.avi").ok);
  expectCarriedOver(d / "out.avi", d / "a.wav", d / "multi.avi", 1);
  ASSERT_TRUE(brellix(d / "multi.avi", d / "multi.avi", d / "self.avi").ok);
  EXPECT_TRUE(dump(d / "self.avi")[1].bytes == dump(d / "own.wav")[0].bytes);
}

// Both codings keep every frame on its own time, also for a variable frame
// rate (0.1 s, then 0.3 s apart) that its average rate does not fit; Video 1
// codes one picture per input frame, only the first whole.
TEST(Combine, FrameTimesKeptAndVideo1FrameForFrame) {
  TempDir d;
  test::ffmpeg(
      "-f lavfi -i testsrc=size=64x48:rate=10 -t 2 -vf "
      "\"setpts='if(lt(N,10),N*0.1/TB,(1+(N-10)*0.3)/TB)'\" -fps_mode vfr -c:v mpeg4 " +
      test::q(d / "vfr.mp4"));
  test::makeWav(d / "a.wav", 2.0);
  const auto v = dump(d / "vfr.mp4")[0];
  for (const VideoCoding coding : {VideoCoding::Copy, VideoCoding::MsVideo1}) {
    const MuxResult r = mux_audio_video(d / "a.wav", d / "vfr.mp4", d / "out.avi", {coding});
    ASSERT_TRUE(r.ok) << r.message;
    const auto o = dump(d / "out.avi");
    ASSERT_EQ(o.size(), 2u);
    EXPECT_EQ(o[0].time, v.time);
    EXPECT_TRUE(o[1].bytes == dump(d / "a.wav")[0].bytes);
    if (coding == VideoCoding::Copy) {
      EXPECT_TRUE(o[0].packets == v.packets);
    } else {
      EXPECT_EQ(std::tie(o[0].par->codec_id, o[0].par->codec_tag, o[0].par->width, o[0].keyPackets),
                std::tuple(AV_CODEC_ID_MSVIDEO1, MKTAG('M', 'S', 'V', 'C'), 64, 1));
    }
  }
}

// Every refusal names the file and the reason and leaves the directory as it
// was: inputs and an earlier output unchanged, no partial or temporary file.
TEST(Combine, RefusalsLeaveEveryFileAsItWas) {
  TempDir d;
  test::makeVideo(d / "v.avi");
  test::makeVideo(d / "odd.avi", "mjpeg", "66x50");
  test::makeVideo(d / "raw.avi", "rawvideo");
  test::makeWav(d / "a.wav");
  test::makeWav(d / "aonly.avi");
  test::makeWav(d / "opus.ogg", 1.0, "libopus", 48000);
  const std::string raw = test::readFile(d / "raw.avi");
  test::writeFile(d / "cut.avi", raw.substr(0, raw.size() / 2));  // ends inside a picture
  test::writeFile(d / "junk.avi", "this is not a video\n");
  test::writeFile(d / "out.avi", "earlier output");
  std::filesystem::create_directory(d / "sub");
  std::filesystem::create_hard_link(d / "v.avi", d / "link.avi");
  ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
  const auto before = test::snapshot(d.path);

  const auto copy = VideoCoding::Copy, msvc = VideoCoding::MsVideo1;
  const std::tuple<const char*, const char*, std::string, VideoCoding, std::vector<std::string>>
      cases[] = {
          {"none.wav", "v.avi", "out.avi", copy, {"audio file", "none.wav", "No such file"}},
          {"a.wav", "junk.avi", "out.avi", copy, {"video file", "junk.avi", "Invalid data"}},
          {"v.avi", "v.avi", "out.avi", copy, {"audio file", "v.avi", "no audio stream"}},
          {"a.wav", "aonly.avi", "out.avi", copy, {"video file", "aonly.avi", "no video stream"}},
          {"opus.ogg", "v.avi", "out.avi", copy, {"opus.ogg", "opus audio", "cannot carry"}},
          {"sub", "v.avi", "out.avi", copy, {"audio file", "sub", "not a regular file"}},
          {"a.wav", "v.avi", "none/out.avi", copy, {"none/out.avi", "No such file"}},
          {"a.wav", "v.avi", "sub", copy, {"output file", "sub", "directory"}},
          // Renamed over, a FIFO or device (/dev/null) would become a regular file.
          {"a.wav", "v.avi", "fifo", copy, {"output file", "fifo", "not a regular file"}},
          {"a.wav", "v.avi", std::string(256, 'x'), copy, {"output file", "File name too long"}},
          {"a.wav", "v.avi", "link.avi", copy, {"video file", "link.avi", "replace"}},
          {"a.wav", "v.avi", "a.wav", msvc, {"audio file", "replace"}},
          {"a.wav", "odd.avi", "out.avi", msvc, {"odd.avi", "66x50", "multiple of 4"}},
          {"a.wav",
           "cut.avi",
           "out.avi",
           msvc,
           {"cannot decode the video of the video file", "cut.avi"}},
          {"a.wav", "v.avi", "", copy, {"output file name is empty"}},
      };
  for (const auto& [audio, video, output, coding, says] : cases) {
    SCOPED_TRACE(says.back());
    const MuxResult r =
        mux_audio_video(d / audio, d / video, output.empty() ? "" : d / output, {coding});
    EXPECT_FALSE(r.ok);
    for (const auto& s : says) EXPECT_NE(r.message.find(s), std::string::npos) << r.message;
    EXPECT_TRUE(test::snapshot(d.path) == before) << "directory changed";
  }
}

}  // namespace
}  // namespace vt
