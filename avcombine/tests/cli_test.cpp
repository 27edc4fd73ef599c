// The brellix and vantrix programs as a user runs them: results checked with
// ffprobe and ffmpeg's hashes, usage and failures by exit status and message.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "media_fixture.h"

namespace vt {
namespace {

using test::q;
using test::TempDir;

/// Exit status, standard output and standard error of one program run.
struct Program {
  int status = -1;
  std::string out, err;
};

/// Runs shell command line cmd in dir (after "cd dir").
Program runIn(const TempDir& dir, const std::string& cmd) {
  TempDir side;  // keeps the error text out of the directory under test
  const std::string errFile = side / "stderr";
  const test::Run r = test::run("cd " + q(dir.path().string()) + " && " + cmd + " 2>" + q(errFile));
  return {r.status, r.out, test::readFile(errFile)};
}

const std::string kBrellix = VT_BRELLIX_CLI;
const std::string kVantrix = VT_VANTRIX_CLI;

/// ffprobe's value of one stream entry per stream, joined by commas.
std::string probe(const TempDir& d, const std::string& file, const std::string& entry,
                  const std::string& extra = "") {
  const test::Run r = test::run(std::string(VT_FFPROBE) + " -v error " + extra + " -show_entries stream=" +
                                entry + " -of csv=p=0 " + q(d / file));
  std::string s = r.out;
  for (char& c : s) c = (c == '\n') ? ',' : c;
  return s;
}

/// ffmpeg's per-packet hashes of the copied first video stream (timestamps,
/// sizes and MD5 of every packet).
std::string videoPacketHashes(const TempDir& d, const std::string& file) {
  return test::run(std::string(VT_FFMPEG) + " -v error -i " + q(d / file) +
                   " -map 0:v:0 -c copy -f framemd5 - | grep -v '^#'")
      .out;
}

/// ffmpeg's MD5 of all samples of the first audio stream.
std::string audioHash(const TempDir& d, const std::string& file) {
  return test::run(std::string(VT_FFMPEG) + " -v error -i " + q(d / file) + " -map 0:a:0 -c copy -f md5 -")
      .out;
}

TEST(Programs, BrellixLaysSoundUnderVideo) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mjpeg", "64x48", 10, 2.0);
  test::makeWav(d / "-a.wav", 2.5, "pcm_s16le", 16000, 2);
  const Program p = runIn(d, kBrellix + " -- -a.wav v.avi out.avi");
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.out + p.err, "");
  EXPECT_EQ(probe(d, "out.avi", "codec_type"), "video,audio,");
  EXPECT_EQ(probe(d, "out.avi", "codec_name,codec_tag_string,avg_frame_rate"),
            "mjpeg,MJPG,10/1,pcm_s16le,[1][0][0][0],0/0,");
  EXPECT_EQ(probe(d, "out.avi", "sample_rate,channels", "-select_streams a"), "16000,2,");
  const std::string hashes = videoPacketHashes(d, "v.avi");
  EXPECT_EQ(std::count(hashes.begin(), hashes.end(), '\n'), 20);
  EXPECT_EQ(videoPacketHashes(d, "out.avi"), hashes);
  EXPECT_EQ(audioHash(d, "out.avi"), audioHash(d, "-a.wav"));
  EXPECT_NE(audioHash(d, "out.avi"), "");
}

TEST(Programs, VantrixWritesVideo1IntoTempAvi) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mpeg4", "64x48", 15, 2.0);
  test::makeWav(d / "a.wav", 2.0);
  test::writeFile(d / "temp.avi", "earlier temp.avi");
  const Program p = runIn(d, kVantrix + " a.wav v.avi");
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(probe(d, "temp.avi", "codec_type"), "video,audio,");
  EXPECT_EQ(probe(d, "temp.avi", "codec_name,codec_tag_string,width,height,avg_frame_rate",
                  "-select_streams v"),
            "msvideo1,MSVC,64,48,15/1,");
  EXPECT_EQ(probe(d, "temp.avi", "nb_read_frames", "-count_frames -select_streams v"), "30,");
  EXPECT_EQ(probe(d, "v.avi", "nb_read_frames", "-count_frames -select_streams v"), "30,");
  EXPECT_EQ(audioHash(d, "temp.avi"), audioHash(d, "a.wav"));
  EXPECT_EQ(test::snapshot(d.path()).size(), 3u);  // no leftovers

  // An input that is itself temp.avi is refused, not overwritten.
  const std::string earlier = test::readFile(d / "temp.avi");
  const Program self = runIn(d, kVantrix + " a.wav temp.avi");
  EXPECT_EQ(self.status, 1);
  EXPECT_NE(self.err.find("vantrix: the video file \"temp.avi\""), std::string::npos) << self.err;
  EXPECT_TRUE(test::readFile(d / "temp.avi") == earlier);
}

// Wrong command lines exit with status 2 and the usage; --help with 0.
TEST(Programs, UsageAndHelp) {
  TempDir d;
  struct Case {
    std::string cmd;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {kBrellix, 2, "Usage: brellix"},
      {kBrellix + " a.wav v.avi", 2, "expected 3 file names, got 2"},
      {kBrellix + " a.wav v.avi o.avi x.avi", 2, "expected 3 file names, got 4"},
      {kBrellix + " -x a.wav v.avi o.avi", 2, "unknown option \"-x\""},
      {kVantrix + " a.wav", 2, "Usage: vantrix"},
      {kVantrix + " a.wav v.avi o.avi", 2, "expected 2 file names, got 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cmd);
    const Program p = runIn(d, c.cmd);
    EXPECT_EQ(p.status, c.status);
    EXPECT_NE(p.err.find(c.says), std::string::npos) << p.err;
  }
  for (const std::string& prog : {kBrellix, kVantrix}) {
    const Program h = runIn(d, prog + " --help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("Usage: "), std::string::npos);
    EXPECT_NE(h.out.find("Exit status"), std::string::npos);
  }
  EXPECT_TRUE(test::snapshot(d.path()).empty());
}

// Failures exit with status 1 and a message naming the file and the reason,
// and leave every file as it was, also when the write fails part-way.
TEST(Programs, FailuresExitOneAndLeaveFilesAlone) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mjpeg", "64x48", 10, 3.0);
  test::makeWav(d / "a.wav", 3.0);
  test::writeFile(d / "out.avi", "earlier output");
  test::writeFile(d / "temp.avi", "earlier temp.avi");
  const auto before = test::snapshot(d.path());
  struct Case {
    std::string cmd;
    const char* says;
  };
  const Case cases[] = {
      {kBrellix + " none.wav v.avi out.avi", "brellix: cannot open the audio file \"none.wav\": No such file"},
      {kBrellix + " a.wav a.wav out.avi", "brellix: the video file \"a.wav\" has no video stream"},
      {kBrellix + " a.wav v.avi v.avi", "brellix: the video file \"v.avi\" is also the output file"},
      {kVantrix + " v.avi v.avi", "vantrix: the audio file \"v.avi\" has no audio stream"},
      {kVantrix + " a.wav ./none.avi", "vantrix: cannot open the video file \"./none.avi\""},
      // The file system refuses to let the output grow beyond 16 KiB.
      {"(trap '' XFSZ; ulimit -f 16; exec " + kBrellix + " a.wav v.avi out.avi)",
       "brellix: cannot write the output file \"out.avi\": File too large"},
      {"(trap '' XFSZ; ulimit -f 16; exec " + kVantrix + " a.wav v.avi)",
       "vantrix: cannot write the output file \"temp.avi\": File too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cmd);
    const Program p = runIn(d, c.cmd);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(c.says), std::string::npos) << p.err;
    EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
  }
}

}  // namespace
}  // namespace vt
