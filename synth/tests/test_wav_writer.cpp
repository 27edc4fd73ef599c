// Sound files of the command-line synthesiser: format by extension, complete
// headers, the same bytes for the same samples.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sndfile.h>

#include "artic/tests/scratch_dir.h"
#include "synth/wav_writer.h"

namespace vt {
namespace {

std::string bytesOf(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
         static_cast<unsigned char>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

const std::vector<float> kRamp = {0.0f, 0.25f, -0.5f, 0.75f, -1.0f, 1.5f};

TEST(SoundFile, FormatFollowsTheExtensionAndTheSameSamplesGiveTheSameBytes) {
  testing::ScratchDir dir;
  struct Case {
    const char* name;
    WavEncoding enc;
    int format;
    const char* encoding;
  } cases[] = {
      {"a.wav", WavEncoding::Float32, SF_FORMAT_WAV | SF_FORMAT_FLOAT, "32-bit float"},
      {"b.WAV", WavEncoding::Pcm16, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "16-bit PCM"},
      {"c.flac", WavEncoding::Float32, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "24-bit PCM"},
      {"d.aiff", WavEncoding::Float32, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "32-bit float"},
      {"e.aif", WavEncoding::Pcm16, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "16-bit PCM"},
  };
  for (const Case& c : cases) {
    const std::string p = dir.path(c.name), q = dir.path(std::string("again-") + c.name);
    const WavWriteResult w = writeWavFile(p, kRamp, 8000, c.enc);
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_EQ(w.encoding, c.encoding);
    EXPECT_EQ(
        w.clipped,
        c.enc == WavEncoding::Float32 && c.format != (SF_FORMAT_FLAC | SF_FORMAT_PCM_24) ? 0u : 1u);
    SF_INFO info{};
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr) << c.name;
    sf_close(f);
    EXPECT_EQ(info.format, c.format) << c.name;
    EXPECT_EQ(info.frames, 6) << c.name;
    // The PEAK chunk held the time of writing: two files written a second
    // apart differed.
    ASSERT_TRUE(writeWavFile(q, kRamp, 8000, c.enc).ok);
    EXPECT_EQ(bytesOf(p), bytesOf(q)) << c.name;
    EXPECT_EQ(bytesOf(p).find("PEAK"), std::string::npos) << c.name;
  }

  // Float WAV: a format chunk of 18 bytes, its extension size 0, data intact.
  const std::string b = bytesOf(dir.path("a.wav"));
  ASSERT_EQ(b.substr(12, 4), "fmt ");
  EXPECT_EQ(le32(b, 16), 18u);
  EXPECT_EQ(b.substr(36, 2), std::string(2, '\0'));
  EXPECT_EQ(le32(b, 4) + 8, b.size());
  SF_INFO info{};
  SNDFILE* f = sf_open(dir.path("a.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> back(6);
  EXPECT_EQ(sf_read_float(f, back.data(), 6), 6);
  sf_close(f);
  EXPECT_EQ(back, kRamp);
  // A reader that checks the header (sox warned "wave header missing
  // extended part of fmt chunk").
  if (std::system("sox --version > /dev/null 2>&1") == 0) {
    const std::string log = dir.path("sox.log");
    ASSERT_EQ(std::system(("sox " + dir.path("a.wav") + " -n 2> " + log).c_str()), 0);
    EXPECT_EQ(bytesOf(log).find("header"), std::string::npos) << bytesOf(log);
  }

  for (const char* bad : {"x.mp3", "x", "x.wav.txt"}) {
    const WavWriteResult w = writeWavFile(dir.path(bad), kRamp, 8000, WavEncoding::Float32);
    EXPECT_FALSE(w.ok);
    EXPECT_NE(w.error.find("must end in .wav, .flac or .aiff"), std::string::npos) << w.error;
    EXPECT_FALSE(std::ifstream(dir.path(bad)).good()) << bad;
  }
}

}  // namespace
}  // namespace vt
