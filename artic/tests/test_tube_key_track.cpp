#include <gtest/gtest.h>

#include <string>

#include "artic/area_function_file_error.h"
#include "artic/interpolAx.h"
#include "artic/tests/scratch_dir.h"

namespace vt {
namespace {

constexpr float kFs = 10000.0f;

/// Runs the track over samples first..last and returns the value at last.
area_function runTo(interpoMemTube& mem, unsigned int last, unsigned int first = 0) {
  area_function v{};
  for (unsigned int n = first; n <= last; ++n) v = interpolAx(n, &mem, kFs);
  return v;
}

TEST(TubeKeyTrack, RaisedCosineBetweenKeysSwingBackAndRestartFromTheFile) {
  testing::ScratchDir dir;
  interpoMemTube mem;
  mem.fileName = dir.write("tube.txt", "2\n0 1.0 15.0 a\n100 3.0 15.0 b\n");
  const unsigned int at[] = {0, 500, 1000, 1500};
  const float A[] = {1.0f, 1.99999988f, 3.0f, 1.99999988f};  // 2.0 but for the six-decimal pi
  for (int i = 0; i < 4; ++i) {
    const area_function v = runTo(mem, at[i], i ? at[i - 1] + 1 : 0);
    EXPECT_TRUE(v.A == A[i] && v.x == 15.0f && mem.ended == (i >= 2)) << at[i] << ": " << v.A;
  }
  // A run stopped early keeps no file: the next run reads the changed file at sample 0.
  dir.write("tube.txt", "2 0 4.0 16.0 a 50 6.0 16.0 b");
  EXPECT_EQ(runTo(mem, 0).A, 4.0f);
  EXPECT_EQ(runTo(mem, 500, 1).A, 6.0f);

  interpoMemTube late, none, one;  // late: kind left at 0, no value before the first key
  late.fileName = dir.write("late.txt", "2 10 1.0 15.0 a 100 3.0 15.0 b");
  none.fileName = dir.write("none.txt", "0");
  one.fileName = dir.write("one.txt", "1 0 2.5 14.0 oneLabelLongerThanThree");
  EXPECT_TRUE(runTo(late, 99).A == 0.0f && runTo(late, 100, 100).A == 1.0f);
  EXPECT_TRUE(interpolAx(0, &none, kFs).x == 0.0f && interpolAx(0, &one, kFs).x == 14.0f);
  EXPECT_TRUE(none.ended == 1 && one.ended == 1);
}

TEST(TubeKeyTrack, MissingAndMalformedFilesAreErrorsThatLeaveTheTrack) {
  testing::ScratchDir dir;
  const char* const cases[][3] = {
      // name, text, part of the message
      {"missing.txt", nullptr, " not found"},
      {"same.txt", "2 10 1 15 a 10.05 3 15 b",
       "token 6 (line 1): the time of key 1 of 2 falls on sample 100, not after the previous "
       "key's sample 100 (zero-length"},
      {"neg.txt", "1 -1 1 15 a", "finite number of ms"},
      {"huge.txt", "1 1e30 1 15 a", "beyond the last sample index"},
      {"word.txt", "2\n0 1 15 a\n100 three 15 b", "token 7 (line 3): expected the area (cm2)"},
      // A negative count was an empty track, a NaN or infinite key a NaN track.
      {"count.txt", "-1", "token 1 (line 1): the number of keys must be 0 or more"},
      {"nan.txt", "2 0 1 15 a 100 nan 15 b",
       "token 7 (line 1): the area of key 1 of 2 must be a finite number of cm2"},
      {"inf.txt", "1 0 1 -inf a",
       "token 4 (line 1): the length of key 0 of 1 must be a finite number of cm"},
  };
  for (const auto& [name, text, expected] : cases) {
    interpoMemTube bad;
    bad.fileName = text ? dir.write(name, text) : dir.path(name);
    bad.kind = 1;
    try {
      interpolAx(0, &bad, kFs);
      ADD_FAILURE() << name << ": no error";
    } catch (const AreaFunctionFileError& e) {
      const std::string msg = e.what();
      EXPECT_EQ(msg.rfind(bad.fileName + (text ? ": " : " not found"), 0), 0u) << msg;
      EXPECT_NE(msg.find(expected), std::string::npos) << msg;
    }
    EXPECT_TRUE(bad.kind == 1 && bad.keys.empty()) << name;
  }
  interpoMemTube dirTrack;  // exists, but is no file: was "not found"
  dirTrack.fileName = dir.path("");
  try {
    interpolAx(0, &dirTrack, kFs);
    ADD_FAILURE() << "a directory was read";
  } catch (const AreaFunctionFileError& e) {
    EXPECT_EQ(e.what(), dirTrack.fileName + " cannot be read: it is a directory");
  }
  EXPECT_THROW(interpolAx(0, nullptr, kFs), std::invalid_argument);
  interpoMemTube ok;  // the sampling frequency is refused before any file is looked for
  EXPECT_THROW(interpolAx(0, &ok, 0.0f), std::invalid_argument);
}

}  // namespace
}  // namespace vt
