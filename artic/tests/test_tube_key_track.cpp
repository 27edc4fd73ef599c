#include <gtest/gtest.h>

#include <string>

#include "artic/area_function_file_error.h"
#include "artic/interpolAx.h"
#include "artic/tests/scratch_dir.h"
#include "artic/tube_key_file.h"

namespace vt {
namespace {

using testing::ScratchDir;

constexpr float kFs = 10000.0f;

/// Runs the track over samples 0..last and returns the value at last.
area_function runTo(interpoMemTube& mem, unsigned int last) {
  area_function v{};
  for (unsigned int n = 0; n <= last; ++n) v = interpolAx(n, &mem, kFs);
  return v;
}

TEST(TubeKeyTrack, RaisedCosineBetweenTwoKeysAndSwingBackAfterTheLast) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("tube.txt", "2\n0 1.0 15.0 a\n100 3.0 15.0 b\n");
  area_function v = interpolAx(0, &mem, kFs);
  EXPECT_EQ(v.A, 1.0f);
  EXPECT_EQ(v.x, 15.0f);
  EXPECT_EQ(mem.count, 2);
  for (unsigned int n = 1; n <= 500; ++n) v = interpolAx(n, &mem, kFs);
  // 2.0 but for the six-decimal pi in the segment's rate.
  EXPECT_EQ(v.A, 1.99999988f);
  EXPECT_EQ(v.x, 15.0f);
  EXPECT_EQ(mem.ended, 0);
  for (unsigned int n = 501; n <= 1000; ++n) v = interpolAx(n, &mem, kFs);
  EXPECT_EQ(v.A, 3.0f);
  EXPECT_EQ(v.x, 15.0f);
  EXPECT_EQ(mem.ended, 1);
  for (unsigned int n = 1001; n <= 1500; ++n) v = interpolAx(n, &mem, kFs);
  EXPECT_EQ(v.A, 1.99999988f);
  EXPECT_EQ(mem.ended, 1);
  // Back at the previous key's area after one more segment length.
  for (unsigned int n = 1501; n <= 2000; ++n) v = interpolAx(n, &mem, kFs);
  EXPECT_NEAR(v.A, 1.0f, 1e-6f);
}

TEST(TubeKeyTrack, BeforeTheFirstKeyTheCallersKindDecides) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("late.txt", "2 10 1.0 15.0 a 100 3.0 15.0 b");
  for (unsigned int n = 0; n < 100; ++n) {
    const area_function v = interpolAx(n, &mem, kFs);
    ASSERT_EQ(v.A, 0.0f) << n;
    ASSERT_EQ(v.x, 0.0f) << n;
  }
  const area_function v = interpolAx(100, &mem, kFs);
  EXPECT_EQ(v.A, 1.0f);
  EXPECT_EQ(v.x, 15.0f);
}

TEST(TubeKeyTrack, NoKeysAndSingleKey) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("none.txt", "0");
  const area_function v = interpolAx(0, &mem, kFs);
  EXPECT_EQ(v.A, 0.0f);
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(mem.ended, 1);

  interpoMemTube one;
  one.fileName = dir.write("one.txt", "1 0 2.5 14.0 oneLabelLongerThanThree");
  const area_function w = interpolAx(0, &one, kFs);
  EXPECT_EQ(w.A, 2.5f);
  EXPECT_EQ(w.x, 14.0f);
  EXPECT_EQ(one.ended, 1);
}

TEST(TubeKeyTrack, SampleZeroRestartsFromTheFileWithoutKeepingItOpen) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("tube.txt", "2 0 1.0 15.0 a 100 3.0 15.0 b");
  runTo(mem, 700);  // a run stopped early
  // The file may change or vanish between runs: each run reads it at sample 0.
  dir.write("tube.txt", "2 0 4.0 16.0 a 50 6.0 16.0 b");
  EXPECT_EQ(interpolAx(0, &mem, kFs).A, 4.0f);
  EXPECT_EQ(mem.ended, 0);
  EXPECT_EQ(runTo(mem, 500).A, 6.0f);
  EXPECT_EQ(mem.ended, 1);
}

TEST(TubeKeyTrack, KeyTimesTruncateToSamples) {
  EXPECT_EQ(tubeKeySample(12.37f, kFs), 123u);
  EXPECT_EQ(tubeKeySample(100.0f, kFs), 1000u);
  EXPECT_EQ(tubeKeySample(0.0999f, kFs), 0u);
  EXPECT_EQ(tubeKeySample(1.0f, 44100.0f), 44u);
}

TEST(TubeKeyTrack, MissingAndMalformedFilesAreErrorsThatLeaveTheTrack) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.path("missing.txt");
  try {
    interpolAx(0, &mem, kFs);
    ADD_FAILURE() << "no error";
  } catch (const AreaFunctionFileError& e) {
    EXPECT_STREQ(e.what(), (mem.fileName + " not found").c_str());
  }

  struct Case {
    const char* name;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"same.txt", "2 10 1 15 a 10.05 3 15 b", "falls on sample 100, not after the previous key's sample 100"},
      {"back.txt", "2 10 1 15 a 5 3 15 b", "token 6 (line 1): the time of key 1 of 2"},
      {"neg.txt", "1 -1 1 15 a", "finite number of ms"},
      {"nan.txt", "1 nan 1 15 a", "finite number of ms"},
      {"huge.txt", "1 1e9 1 15 a", "beyond the last sample index"},
      {"short.txt", "2 0 1 15 a 100 3", "end of file after token 7 (line 1): expected the length (cm) of key 1 of 2"},
      {"nolabel.txt", "1 0 1 15", "expected the label of key 0 of 1"},
      {"word.txt", "2\n0 1 15 a\n100 three 15 b", "token 7 (line 3): expected the area (cm2) of key 1 of 2"},
      {"count.txt", "two", "expected the number of keys (an integer), found \"two\""},
  };
  for (const Case& c : cases) {
    interpoMemTube bad;
    bad.fileName = dir.write(c.name, c.text);
    bad.kind = 1;
    try {
      interpolAx(0, &bad, kFs);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const AreaFunctionFileError& e) {
      const std::string msg = e.what();
      EXPECT_EQ(msg.rfind(bad.fileName + ": ", 0), 0u) << msg;
      EXPECT_NE(msg.find(c.expected), std::string::npos) << c.name << ": " << msg;
    }
    EXPECT_EQ(bad.kind, 1);
    EXPECT_TRUE(bad.keys.empty());
  }
  EXPECT_THROW(interpolAx(0, nullptr, kFs), std::invalid_argument);
  interpoMemTube ok;
  ok.fileName = dir.write("ok.txt", "1 0 1 15 a");
  EXPECT_THROW(interpolAx(0, &ok, 0.0f), std::invalid_argument);
}

}  // namespace
}  // namespace vt
