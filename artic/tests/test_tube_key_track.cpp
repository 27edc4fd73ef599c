#include <gtest/gtest.h>

#include <string>

#include "artic/area_function_file_error.h"
#include "artic/interpolAx.h"
#include "artic/tests/scratch_dir.h"

namespace vt {
namespace {

using testing::ScratchDir;

constexpr float kFs = 10000.0f;

/// Runs the track over samples first..last and returns the value at last.
area_function runTo(interpoMemTube& mem, unsigned int last, unsigned int first = 0) {
  area_function v{};
  for (unsigned int n = first; n <= last; ++n) v = interpolAx(n, &mem, kFs);
  return v;
}

void expectAF(area_function v, float A, float x) {
  EXPECT_EQ(v.A, A);
  EXPECT_EQ(v.x, x);
}

TEST(TubeKeyTrack, RaisedCosineBetweenTwoKeysAndSwingBackAfterTheLast) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("tube.txt", "2\n0 1.0 15.0 a\n100 3.0 15.0 b\n");
  expectAF(runTo(mem, 0), 1.0f, 15.0f);
  expectAF(runTo(mem, 500, 1), 1.99999988f, 15.0f);  // 2.0 but for the six-decimal pi
  EXPECT_EQ(mem.ended, 0);
  expectAF(runTo(mem, 1000, 501), 3.0f, 15.0f);
  EXPECT_EQ(mem.ended, 1);
  EXPECT_EQ(runTo(mem, 1500, 1001).A, 1.99999988f);
  EXPECT_NEAR(runTo(mem, 2000, 1501).A, 1.0f, 1e-6f);  // back at the previous key
}

TEST(TubeKeyTrack, LateFirstKeyEmptyAndSingleKeyFiles) {
  ScratchDir dir;
  interpoMemTube late;  // kind left at 0: no value before the first key
  late.fileName = dir.write("late.txt", "2 10 1.0 15.0 a 100 3.0 15.0 b");
  for (unsigned int n = 0; n < 100; ++n) {
    const area_function v = interpolAx(n, &late, kFs);
    ASSERT_TRUE(v.A == 0.0f && v.x == 0.0f) << n;
  }
  expectAF(interpolAx(100, &late, kFs), 1.0f, 15.0f);

  interpoMemTube none, one;  // one: labels of any length
  none.fileName = dir.write("none.txt", "0");
  expectAF(interpolAx(0, &none, kFs), 0.0f, 0.0f);
  one.fileName = dir.write("one.txt", "1 0 2.5 14.0 oneLabelLongerThanThree");
  expectAF(interpolAx(0, &one, kFs), 2.5f, 14.0f);
  EXPECT_TRUE(none.ended == 1 && one.ended == 1);
}

TEST(TubeKeyTrack, SampleZeroRestartsFromTheFileWithoutKeepingItOpen) {
  ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("tube.txt", "2 0 1.0 15.0 a 100 3.0 15.0 b");
  runTo(mem, 700);  // a run stopped early
  // The file may change between runs: each run reads it at sample 0.
  dir.write("tube.txt", "2 0 4.0 16.0 a 50 6.0 16.0 b");
  EXPECT_EQ(runTo(mem, 0).A, 4.0f);
  EXPECT_EQ(mem.ended, 0);
  EXPECT_EQ(runTo(mem, 500, 1).A, 6.0f);
  EXPECT_EQ(mem.ended, 1);
}

TEST(TubeKeyTrack, MissingAndMalformedFilesAreErrorsThatLeaveTheTrack) {
  ScratchDir dir;
  const struct {
    const char* name;
    const char* text;
    const char* expected;
  } cases[] = {
      {"missing.txt", nullptr, " not found"},
      {"same.txt", "2 10 1 15 a 10.05 3 15 b",
       "falls on sample 100, not after the previous key's sample 100 (zero-length"},
      {"back.txt", "2 10 1 15 a 5 3 15 b", "token 6 (line 1): the time of key 1 of 2"},
      {"neg.txt", "1 -1 1 15 a", "finite number of ms"},  // also nan, inf
      {"huge.txt", "1 1e30 1 15 a", "beyond the last sample index"},
      {"short.txt", "2 0 1 15 a 100 3", "end of file after token 7 (line 1): expected the length"},
      {"word.txt", "2\n0 1 15 a\n100 three 15 b", "token 7 (line 3): expected the area (cm2)"},
      {"count.txt", "two", "expected the number of keys (an integer), found \"two\""},
  };
  for (const auto& c : cases) {
    interpoMemTube bad;
    bad.fileName = c.text ? dir.write(c.name, c.text) : dir.path(c.name);
    bad.kind = 1;
    try {
      interpolAx(0, &bad, kFs);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const AreaFunctionFileError& e) {
      const std::string msg = e.what();
      if (!c.text) EXPECT_EQ(msg, bad.fileName + " not found");
      else EXPECT_EQ(msg.rfind(bad.fileName + ": ", 0), 0u) << msg;
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
