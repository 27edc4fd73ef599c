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

/// ffmpeg's hashes of the first stream of a type ("v", "a") of file: with
/// format "framemd5" the time, size and MD5 of every packet, with "md5" the MD5
/// of all its bytes.
std::string streamHash(const TempDir& d, const std::string& file, const char* type, const char* format) {
  return test::run(std::string(VT_FFMPEG) + " -v error -i " + q(d / file) + " -map 0:" + type +
                   ":0 -c copy -f " + format + " - | grep -v '^#'")
      .out;
}

// Names with a leading dash, spaces, colons and non-ASCII letters are plain
// file names.
TEST(Programs, BrellixLaysSoundUnderVideo) {
  TempDir d;
  test::makeVideo(d / "v: é.avi", "mjpeg", "64x48", 10, 2.0);
  test::makeWav(d / "-a ü.wav", 2.5, "pcm_s16le", 16000, 2);
  const Program p = runIn(d, kBrellix + " -- '-a ü.wav' 'v: é.avi' 'file:o π.avi'");
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.out + p.err, "");
  const std::string out = "file:o π.avi";
  EXPECT_EQ(probe(d, out, "codec_type"), "video,audio,");
  const std::string hashes = streamHash(d, "v: é.avi", "v", "framemd5");
  EXPECT_EQ(std::count(hashes.begin(), hashes.end(), '\n'), 20);
  EXPECT_EQ(streamHash(d, out, "v", "framemd5"), hashes);
  EXPECT_EQ(streamHash(d, out, "a", "md5"), streamHash(d, "-a ü.wav", "a", "md5"));
  EXPECT_NE(streamHash(d, out, "a", "md5"), "");
}

// Video 1 frame for frame, decodable throughout, the WAV file's samples, and
// an earlier temp.avi replaced without leftovers.
TEST(Programs, VantrixWritesVideo1IntoTempAvi) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mpeg4", "64x48", 15, 2.0);
  test::makeWav(d / "a.wav", 2.0);
  test::writeFile(d / "temp.avi", "earlier temp.avi");
  const Program p = runIn(d, kVantrix + " a.wav v.avi");
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(probe(d, "temp.avi", "codec_type,codec_name,codec_tag_string,width,height,avg_frame_rate",
                  "-select_streams 0"),
            "msvideo1,video,MSVC,64,48,15/1,");
  EXPECT_EQ(probe(d, "temp.avi", "codec_type", "-select_streams 1"), "audio,");
  EXPECT_EQ(probe(d, "temp.avi", "nb_read_frames", "-count_frames -select_streams v"), "30,");
  EXPECT_EQ(probe(d, "v.avi", "nb_read_frames", "-count_frames -select_streams v"), "30,");
  EXPECT_EQ(streamHash(d, "temp.avi", "a", "md5"), streamHash(d, "a.wav", "a", "md5"));
  EXPECT_EQ(test::snapshot(d.path()).size(), 3u);
}

// Wrong command lines exit with status 2 and the usage; --help with 0.
TEST(Programs, UsageAndHelp) {
  TempDir d;
  const std::pair<std::string, const char*> cases[] = {
      {kBrellix + " a.wav v.avi", "brellix: expected 3 file names, got 2\nUsage: brellix"},
      {kBrellix + " -x a.wav v.avi o.avi", "unknown option \"-x\""},
      {kVantrix + " a.wav v.avi o.avi", "vantrix: expected 2 file names, got 3\nUsage: vantrix"},
  };
  for (const auto& [cmd, says] : cases) {
    const Program p = runIn(d, cmd);
    EXPECT_EQ(p.status, 2) << cmd;
    EXPECT_NE(p.err.find(says), std::string::npos) << p.err;
  }
  for (const std::string& prog : {kBrellix, kVantrix}) {
    const Program h = runIn(d, prog + " --help");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("Exit status"), std::string::npos) << h.out;
  }
  EXPECT_TRUE(test::snapshot(d.path()).empty());
}

// Failures exit with status 1 and a message naming the file and the reason,
// and leave every file as it was, also when the write fails part-way.
TEST(Programs, FailuresExitOneAndLeaveFilesAlone) {
  TempDir d;
  test::makeVideo(d / "v.avi", "mjpeg", "64x48", 10, 3.0);
  test::makeWav(d / "a.wav", 3.0);
  test::writeFile(d / "temp.avi", "earlier temp.avi");
  const auto before = test::snapshot(d.path());
  const std::pair<std::string, const char*> cases[] = {
      {kBrellix + " none.wav v.avi out.avi", "brellix: cannot open the audio file \"none.wav\": No such file"},
      // The file system refuses to let the output grow beyond 16 KiB.
      {"(trap '' XFSZ; ulimit -f 16; exec " + kVantrix + " a.wav v.avi)",
       "vantrix: cannot write the output file \"temp.avi\": File too large"},
  };
  for (const auto& [cmd, says] : cases) {
    SCOPED_TRACE(cmd);
    const Program p = runIn(d, cmd);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find(says), std::string::npos) << p.err;
    EXPECT_TRUE(test::snapshot(d.path()) == before) << "directory changed";
  }
}

}  // namespace
}  // namespace vt
