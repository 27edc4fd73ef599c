// The brellix and vantrix programs as a user runs them, checked with ffprobe and ffmpeg's hashes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "media_fixture.h"

namespace vt {
namespace {

using test::q, test::TempDir;

const std::string kBrellix = VT_BRELLIX_CLI;
const std::string kVantrix = VT_VANTRIX_CLI;

/// Exit status, standard output and standard error of cmd run in dir.
std::tuple<int, std::string, std::string> runIn(const TempDir& dir, const std::string& cmd) {
  const TempDir side;  // keeps the error text out of dir
  const auto [status, out] =
      test::run("cd " + q(dir.path.string()) + " && " + cmd + " 2>" + q(side / "err"));
  return {status, out, test::readFile(side / "err")};
}

/// ffmpeg arguments printing per-packet hashes ("framemd5") or one hash of all
/// bytes ("md5") of the first stream of type ("v", "a") of file.
std::string hash(const std::string& file, const char* type, const char* format) {
  return " -v error -i " + q("./" + file) + " -map 0:" + type + ":0 -c copy -f " + format +
         " - | grep -v '^#'";
}

// Names with a leading dash, spaces, a colon and non-ASCII letters are plain
// file names; Video 1 decodes frame for frame and an earlier temp.avi is
// replaced without leftovers.
TEST(Programs, CombineAndRefuseAsAUserRuns) {
  TempDir d;
  const std::string ff = VT_FFMPEG, probe = std::string(VT_FFPROBE) + " -v error -of csv=p=0 ";
  test::makeVideo(d / "v: é.avi", "mpeg4", "64x48", 15, 2.0);
  test::makeWav(d / "-a ü.wav", 2.5, "pcm_s16le", 16000, 2);
  test::writeFile(d / "temp.avi", "earlier temp.avi");
  const auto output = [&d](const std::string& cmd) { return std::get<1>(runIn(d, cmd)); };
  auto [status, out, err] = runIn(d, kBrellix + " -- '-a ü.wav' 'v: é.avi' 'file:o π.avi'");
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(out + err, "");
  EXPECT_EQ(output(probe + "-show_entries stream=codec_type './file:o π.avi'"), "video\naudio\n");
  const std::string frames = output(ff + hash("v: é.avi", "v", "framemd5"));
  EXPECT_EQ(std::count(frames.begin(), frames.end(), '\n'), 30);
  EXPECT_EQ(output(ff + hash("file:o π.avi", "v", "framemd5")), frames);
  const std::string samples = output(ff + hash("-a ü.wav", "a", "md5"));
  EXPECT_EQ(output(ff + hash("file:o π.avi", "a", "md5")), samples);

  std::tie(status, out, err) = runIn(d, kVantrix + " -- '-a ü.wav' 'v: é.avi'");
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(
      output(probe + "-show_entries "
                     "stream=codec_type,codec_name,codec_tag_string,width,avg_frame_rate temp.avi"),
      "msvideo1,video,MSVC,64,15/1\npcm_s16le,audio,[1][0][0][0],0/0\n");
  EXPECT_EQ(output(probe +
                   "-count_frames -select_streams v -show_entries stream=nb_read_frames temp.avi"),
            "30\n");
  EXPECT_EQ(output(ff + hash("temp.avi", "a", "md5")), samples);
  EXPECT_EQ(test::snapshot(d.path).size(), 4u);

  // Wrong command lines exit with 2, failures with 1 and a message naming the
  // file and the reason; every file stays as it was, also when the write
  // fails part-way.
  const auto before = test::snapshot(d.path);
  const std::tuple<std::string, int, const char*> cases[] = {
      {kBrellix + " a.wav v.avi", 2, "brellix: expected 3 file names, got 2\nUsage: brellix"},
      {kVantrix + " -x a.wav v.avi", 2, "vantrix: unknown option \"-x\""},
      {kBrellix + " none.wav v.avi out.avi", 1,
       "brellix: cannot open the audio file \"none.wav\": No such file"},
      // The file system refuses to let the output grow beyond 16 KiB.
      {"(trap '' XFSZ; ulimit -f 16; exec " + kVantrix + " -- '-a ü.wav' 'v: é.avi')", 1,
       "vantrix: cannot write the output file \"temp.avi\": File too large"},
  };
  for (const auto& [cmd, expectedStatus, says] : cases) {
    SCOPED_TRACE(cmd);
    std::tie(status, out, err) = runIn(d, cmd);
    EXPECT_EQ(status, expectedStatus);
    EXPECT_NE(err.find(says), std::string::npos) << err;
    EXPECT_TRUE(test::snapshot(d.path) == before) << "directory changed";
  }
}

// A WAV whose channel count field says 0 or 65535 gave an AVI that no player
// opens, with exit 0; it is refused naming the file and the field, and
// neither a new nor an earlier output appears or changes. vantrix -o names
// its output.
TEST(Programs, AudioWithoutUsableChannelsIsRefused) {
  TempDir d;
  test::makeVideo(d / "v.avi");
  test::makeWav(d / "a.wav");
  test::writeWavWithChannels(d / "a.wav", d / "c0.wav", 0);
  test::writeWavWithChannels(d / "a.wav", d / "c65535.wav", 65535);
  test::writeFile(d / "old.avi", "earlier output");
  const auto before = test::snapshot(d.path);
  for (const char* wav : {"c0.wav", "c65535.wav"}) {
    for (const std::string& cmd :
         {kBrellix + " " + wav + " v.avi new.avi", kBrellix + " " + wav + " v.avi old.avi",
          kVantrix + " -o old.avi " + wav + " v.avi", kVantrix + " " + wav + " v.avi"}) {
      SCOPED_TRACE(cmd);
      const auto [status, out, err] = runIn(d, cmd);
      EXPECT_EQ(status, 1);
      EXPECT_NE(err.find("the audio file \"" + std::string(wav) +
                         "\" cannot be laid under the video: its channel count is "),
                std::string::npos)
          << err;
      EXPECT_TRUE(test::snapshot(d.path) == before) << "directory changed";
    }
  }
  const auto [status, out, err] = runIn(d, kVantrix + " -o old.avi a.wav v.avi");
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(test::dump(d / "old.avi").size(), 2u);
  EXPECT_EQ(std::get<0>(runIn(d, kVantrix + " -o")), 2);
}

}  // namespace
}  // namespace vt
