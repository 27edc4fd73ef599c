#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "artic/area_function_file_error.h"
#include "artic/tests/scratch_dir.h"
#include "artic/vtaf_file.h"

namespace vt {
namespace {

/// Message of the AreaFunctionFileError that f throws ("" if none).
template <class F>
std::string fileError(F f) {
  try {
    f();
  } catch (const AreaFunctionFileError& e) {
    return e.what();
  }
  return "";
}

TEST(ReadVTAF, RecordsLabelAndNoiseSourceOfFilesWhoseBaseNameIsAConsonant) {
  testing::ScratchDir dir;
  // name, noise-source section afterwards (7 = left as it was)
  const std::pair<const char*, int> files[] = {{"data/s.txt", 3}, {"tracts.old/a.txt", 7}};
  for (const auto& [name, loc] : files) {
    std::string label;
    area_function af[4];
    int noiseSourceLoc = 7;
    readVTAF(dir.write(name, "s 4 0.5 1.0 2.0 3.0 0.2 3\n"), label, 4, af, noiseSourceLoc);
    EXPECT_TRUE(label == "s" && noiseSourceLoc == loc) << name;
    EXPECT_TRUE(af[0].A == 1.0f && af[1].A == 2.0f && af[2].A == 3.0f && af[3].A == 0.2f &&
                af[0].x == 0.5f && af[3].x == 0.5f)
        << name;
  }
  EXPECT_TRUE(isConsonantFile("D:\\tracts.old\\s.txt"));
  EXPECT_FALSE(isConsonantFile("data/"));

  // readVTAFalloc takes the file's count; labels of any length, tokens on any line.
  const std::string longLabel(5000, 'w');
  std::string label;
  int n = 0;
  std::vector<area_function> af;
  ASSERT_TRUE(readVTAFalloc(dir.write("k.txt", "\n\t" + longLabel + "\n2\n 1.5\n 2.5e0 +4\n"),
                            label, n, af));
  EXPECT_TRUE(label == longLabel && n == 2 && af.size() == 2);
  EXPECT_TRUE(af[0].A == 2.5f && af[1].A == 4.0f && af[1].x == 1.5f);
}

TEST(ReadVTAF, MissingWrongCountAndMalformedFilesAreErrorsThatWriteNothing) {
  testing::ScratchDir dir;
  std::string label = "old";
  area_function af[5] = {{9.0f, 9.0f}};
  int kept = 7;  // noise-source section, then number of sections
  EXPECT_EQ(fileError([&] { readVTAF(dir.path("nowhere/s.txt"), label, 4, af, kept); }),
            "AF path, " + dir.path("nowhere/s.txt") + ", not found");
  // Neither a directory nor a device that never ends (/dev/zero) is read;
  // both exist, so they were wrongly reported as "not found".
  for (const auto& [there, why] :
       {std::pair{dir.path(""), "it is a directory"},
        std::pair{std::string("/dev/zero"), "it is not a regular file"}}) {
    EXPECT_EQ(fileError([&] { readVTAF(there, label, 4, af, kept); }),
              "AF path, " + there + ", cannot be read: " + why);
  }
  const std::string s4 = dir.write("s.txt", "s 4 0.5 1 2 3 0.2 3");
  EXPECT_EQ(fileError([&] { readVTAF(s4, label, 5, af, kept); }),
            "Unexpected number of VT sections");
  std::vector<area_function> v;
  EXPECT_FALSE(readVTAFalloc(dir.path("none.txt"), label, kept, v));
  EXPECT_TRUE(label == "old" && af[0].A == 9.0f && kept == 7);

  const std::pair<const char*, const char*> cases[] = {
      // text, message after "<path>: "
      {"a 4 0.5 1 2", "end of file after token 5 (line 1): expected the area of section 2 of 4"},
      {"a 4 0.5\n1.0 x 3.0 0.2",
       "token 5 (line 2): expected the area of section 1 of 4 (cm2) (a "
       "number within single precision), found \"x\""},
      {"s 4 0.5 1.0 2.0 3.0 0.2", "end of file after token 7 (line 1): expected the noise-source"},
      {"a -1 0.5", "token 2 (line 1): the number of sections must not be negative"},
      // Values the network cannot use were taken as they stood.
      {"a 2 0.5 1 nan",
       "token 5 (line 1): the area of section 1 of 2 (cm2) must be a finite number 0 or more"},
      {"a 2 0.5 inf 1", "token 4 (line 1): the area of section 0 of 2 (cm2) must be a finite"},
      {"a 2 0.5 1 -0.5",
       "token 5 (line 1): the area of section 1 of 2 (cm2) must be a finite number 0 or more"},
      {"a 2 0 1 1", "token 3 (line 1): the section length (cm) must be a finite number above 0"},
      {"a 2 -1 1 1", "token 3 (line 1): the section length (cm) must be a finite number above 0"},
      {"s 2 0.5 1 1 -2", "token 6 (line 1): the noise-source section must be 0 or more"},
      // A huge announced count is no huge allocation.
      {"a 2000000000 0.5 1", "end of file after token 4 (line 1): expected the area of section 1"},
  };
  for (const auto& [text, expected] : cases) {
    const std::string file = dir.write(text[0] == 's' ? "s.txt" : "a.txt", text);
    const std::string msg = fileError([&] { readVTAFContents(file, true); });
    EXPECT_EQ(msg.rfind(file + ": " + expected, 0), 0u) << msg;
  }
}

}  // namespace
}  // namespace vt
