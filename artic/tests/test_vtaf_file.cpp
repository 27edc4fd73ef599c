#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "artic/area_function_file_error.h"
#include "artic/tests/scratch_dir.h"
#include "artic/vtaf_file.h"

namespace vt {
namespace {

using testing::ScratchDir;

const std::string kFourSections = "s 4 0.5 1.0 2.0 3.0 0.2 3\n";

void expectFourSections(const area_function* af, const std::string& what) {
  const float areas[4] = {1.0f, 2.0f, 3.0f, 0.2f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(af[i].A, areas[i]) << what << ", section " << i;
    EXPECT_EQ(af[i].x, 0.5f) << what << ", section " << i;
  }
}

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

TEST(ReadVTAF, NoiseSourceOnlyFromFilesWhoseBaseNameBeginsWithAConsonant) {
  ScratchDir dir;
  // name, noise-source section afterwards (7 = left as it was)
  const std::pair<const char*, int> files[] = {
      {"data/s.txt", 3}, {"a.txt", 7}, {"S.txt", 7}, {".s", 7}, {"tracts.old/a.txt", 7},
      {"t.dir/z", 3}};
  for (const auto& [name, loc] : files) {
    const std::string path = dir.write(name, kFourSections);
    const std::string pathBefore = path;
    std::string label;
    area_function af[4];
    int noiseSourceLoc = 7;
    readVTAF(path, label, 4, af, noiseSourceLoc);
    EXPECT_EQ(label, "s") << name;
    expectFourSections(af, name);
    EXPECT_EQ(noiseSourceLoc, loc) << name;
    EXPECT_EQ(path, pathBefore);
  }
  EXPECT_TRUE(isConsonantFile("D:\\tracts.old\\s.txt"));  // both separators count
  EXPECT_FALSE(isConsonantFile("data/"));

  // readVTAFalloc takes the file's count and reads no noise-source section.
  std::string label;
  int n = 0;
  std::vector<area_function> af;
  ASSERT_TRUE(readVTAFalloc(dir.write("k.txt", "s 4 0.5 1.0 2.0 3.0 0.2"), label, n, af));
  EXPECT_EQ(label, "s");
  ASSERT_EQ(n, 4);
  ASSERT_EQ(af.size(), 4u);
  expectFourSections(af.data(), "readVTAFalloc");
}

TEST(ReadVTAF, LabelOfAnyLengthTokensOnAnyLineAndNoSections) {
  ScratchDir dir;
  const std::string longLabel(5000, 'w');
  const VTAFContents c = readVTAFContents(
      dir.write("open.txt", "\n\t" + longLabel + "\n2\n 1.5\n 2.5e0 +4\n"), true, 2);
  EXPECT_EQ(c.label, longLabel);
  ASSERT_EQ(c.sections.size(), 2u);
  EXPECT_TRUE(c.sections[0].A == 2.5f && c.sections[1].A == 4.0f && c.sections[1].x == 1.5f);
  EXPECT_TRUE(readVTAFContents(dir.write("e.txt", "empty 0 1.0"), true).sections.empty());
}

TEST(ReadVTAF, MissingFileAndWrongCountAreErrorsThatWriteNothing) {
  ScratchDir dir;
  std::string label = "old";
  area_function af[5] = {{9.0f, 9.0f}};
  int noiseSourceLoc = 7;
  // A directory cannot be read as a file either, nor a device that never
  // ends (read whole, /dev/zero would exhaust the host's memory).
  for (const std::string& missing :
       {dir.path("nowhere/s.txt"), dir.path(""), std::string("/dev/zero")}) {
    EXPECT_EQ(fileError([&] { readVTAF(missing, label, 4, af, noiseSourceLoc); }),
              "AF path, " + missing + ", not found");
  }
  const std::string path = dir.write("s.txt", kFourSections);
  EXPECT_EQ(fileError([&] { readVTAF(path, label, 5, af, noiseSourceLoc); }),
            "Unexpected number of VT sections");
  EXPECT_EQ(label, "old");
  EXPECT_EQ(af[0].A, 9.0f);
  EXPECT_EQ(noiseSourceLoc, 7);

  int n = 4;  // readVTAFalloc: false for a missing file, outputs unchanged
  std::vector<area_function> v;
  EXPECT_FALSE(readVTAFalloc(dir.path("none.txt"), label, n, v));
  EXPECT_EQ(label, "old");
  EXPECT_EQ(n, 4);
}

TEST(ReadVTAF, MalformedFilesNameFilePositionAndExpectedValue) {
  ScratchDir dir;
  const struct {
    const char* text;
    int n;
    const char* expected;  // message after "<path>: "
  } cases[] = {
      {"a 4 0.5 1.0 2.0", 4, "end of file after token 5 (line 1): expected the area of section 2 of 4"},
      {"a 4 0.5\n1.0 x 3.0 0.2", 4,
       "token 5 (line 2): expected the area of section 1 of 4 (cm2) (a number within single "
       "precision), found \"x\""},
      {"a 4 0.5 1.0 2.0 3.0 0.2.1", 4, "token 7 (line 1): expected the area of section 3"},
      {"a 4 1e60 1.0 2.0 3.0 0.2", 4, "token 3 (line 1): expected the section length"},
      {"s 4 0.5 1.0 2.0 3.0 0.2", 4, "end of file after token 7 (line 1): expected the noise-source"},
      {"s 4 0.5 1.0 2.0 3.0 0.2 3.5", 4, "token 8 (line 1): expected the noise-source section"},
      {"", 1, "end of file after token 0 (line 1): expected the label"},
      {"a -1 0.5", -1, "token 2 (line 1): the number of sections must not be negative"},
      {"a 4.0 0.5 1 2 3 4", 4, "token 2 (line 1): expected the number of sections (an integer)"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.write(c.text[0] == 's' ? "s.txt" : "a.txt", c.text);
    const std::string msg = fileError([&] { readVTAFContents(path, true, c.n); });
    EXPECT_EQ(msg.rfind(path + ": " + c.expected, 0), 0u) << c.text << ": " << msg;
  }
  // A huge announced count is no huge allocation.
  std::string label;
  int n = 0;
  std::vector<area_function> af;
  const std::string big = dir.write("big.txt", "a 2000000000 0.5 1.0");
  const std::string msg = fileError([&] { readVTAFalloc(big, label, n, af); });
  EXPECT_NE(msg.find("area of section 1 of 2000000000"), std::string::npos) << msg;
  EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace vt
