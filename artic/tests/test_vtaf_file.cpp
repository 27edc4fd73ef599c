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

void expectFourSections(const area_function* af) {
  const float areas[4] = {1.0f, 2.0f, 3.0f, 0.2f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(af[i].A, areas[i]) << "section " << i;
    EXPECT_EQ(af[i].x, 0.5f) << "section " << i;
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

TEST(ReadVTAF, ConsonantFileGivesLabelSectionsAndNoiseSource) {
  ScratchDir dir;
  const std::string path = dir.write("data/s.txt", kFourSections);
  const std::string pathBefore = path;
  std::string label;
  area_function af[4];
  int noiseSourceLoc = 1;
  readVTAF(path, label, 4, af, noiseSourceLoc);
  EXPECT_EQ(label, "s");
  expectFourSections(af);
  EXPECT_EQ(noiseSourceLoc, 3);
  EXPECT_EQ(path, pathBefore);
}

TEST(ReadVTAF, VowelAndUpperCaseFilesLeaveNoiseSourceAndIgnoreTrailingToken) {
  ScratchDir dir;
  for (const char* name : {"a.txt", "S.txt", ".s", "tracts.old/a.txt"}) {
    const std::string path = dir.write(name, kFourSections);
    std::string label;
    area_function af[4];
    int noiseSourceLoc = 7;
    readVTAF(path, label, 4, af, noiseSourceLoc);
    EXPECT_EQ(label, "s") << name;
    expectFourSections(af);
    EXPECT_EQ(noiseSourceLoc, 7) << name;
  }
  // Without the trailing token a vowel file is complete.
  const std::string path = dir.write("tracts.old/a2.txt", "a 4 0.5 1.0 2.0 3.0 0.2");
  std::string label;
  area_function af[4];
  int noiseSourceLoc = 7;
  readVTAF(path, label, 4, af, noiseSourceLoc);
  EXPECT_EQ(noiseSourceLoc, 7);
}

TEST(ReadVTAF, ConsonantLetterIsTheFirstOfTheBaseName) {
  // Directory names, dots and extensions do not matter; both separators count.
  EXPECT_TRUE(isConsonantFile("data/s.txt"));
  EXPECT_TRUE(isConsonantFile("tracts.old/s.txt"));
  EXPECT_TRUE(isConsonantFile("D:\\tracts.old\\s.txt"));
  EXPECT_TRUE(isConsonantFile("z"));
  EXPECT_TRUE(isConsonantFile("a.b/c\\t.txt"));
  EXPECT_FALSE(isConsonantFile("D:\\tracts.old\\a.txt"));
  EXPECT_FALSE(isConsonantFile("t.dir/a.txt"));
  EXPECT_FALSE(isConsonantFile("D:\\data\\.s"));
  EXPECT_FALSE(isConsonantFile("data/S.txt"));
  EXPECT_FALSE(isConsonantFile("data/"));
  EXPECT_FALSE(isConsonantFile(""));
}

TEST(ReadVTAF, LabelOfAnyLengthOnAnyLine) {
  ScratchDir dir;
  const std::string longLabel(5000, 'w');
  const std::string path =
      dir.write("open.txt", "\n\t" + longLabel + "\n2\n 1.5\n 2.5e0 +4\n");
  std::string label;
  area_function af[2];
  int noiseSourceLoc = 0;
  readVTAF(path, label, 2, af, noiseSourceLoc);
  EXPECT_EQ(label, longLabel);
  EXPECT_EQ(af[0].A, 2.5f);
  EXPECT_EQ(af[1].A, 4.0f);
  EXPECT_EQ(af[1].x, 1.5f);
}

TEST(ReadVTAF, MissingFileAndWrongCountAreErrorsThatWriteNothing) {
  ScratchDir dir;
  const std::string missing = dir.path("nowhere/s.txt");
  std::string label = "old";
  area_function af[5] = {{9.0f, 9.0f}, {9.0f, 9.0f}, {9.0f, 9.0f}, {9.0f, 9.0f}, {9.0f, 9.0f}};
  int noiseSourceLoc = 7;
  EXPECT_EQ(fileError([&] { readVTAF(missing, label, 4, af, noiseSourceLoc); }),
            "AF path, " + missing + ", not found");
  // A directory cannot be read as a file either.
  EXPECT_EQ(fileError([&] { readVTAF(dir.path(""), label, 4, af, noiseSourceLoc); }),
            "AF path, " + dir.path("") + ", not found");

  const std::string path = dir.write("s.txt", kFourSections);
  const std::string msg = fileError([&] { readVTAF(path, label, 5, af, noiseSourceLoc); });
  EXPECT_EQ(msg.rfind("Unexpected number of VT sections", 0), 0u) << msg;
  EXPECT_NE(msg.find("holds 4, 5 expected"), std::string::npos) << msg;
  EXPECT_EQ(label, "old");
  EXPECT_EQ(af[0].A, 9.0f);
  EXPECT_EQ(noiseSourceLoc, 7);
}

TEST(ReadVTAF, MalformedFilesNameFilePositionAndExpectedValue) {
  ScratchDir dir;
  struct Case {
    const char* name;
    const char* text;
    int n;
    const char* where;     // position part of the message
    const char* expected;  // what was expected
  };
  const Case cases[] = {
      {"a1.txt", "a 4 0.5 1.0 2.0", 4, "end of file after token 5 (line 1)",
       "expected the area of section 2 of 4"},
      {"a2.txt", "a 4 0.5\n1.0 x 3.0 0.2", 4, "token 5 (line 2)",
       "expected the area of section 1 of 4 (cm2) (a number within single precision), found \"x\""},
      {"a3.txt", "a 4 0.5 1.0 2.0 3.0 0.2.1", 4, "token 7 (line 1)", "found \"0.2.1\""},
      {"a4.txt", "a 4 1e60 1.0 2.0 3.0 0.2", 4, "token 3", "expected the section length"},
      {"s1.txt", "s 4 0.5 1.0 2.0 3.0 0.2", 4, "end of file after token 7",
       "expected the noise-source section"},
      {"s2.txt", "s 4 0.5 1.0 2.0 3.0 0.2 3.5", 4, "token 8", "found \"3.5\""},
      {"a5.txt", "", 1, "end of file after token 0", "expected the label"},
      {"a6.txt", "a -1 0.5", -1, "token 2",
       "the number of sections must not be negative"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.write(c.name, c.text);
    std::string label;
    area_function af[4];
    int noiseSourceLoc = 0;
    const std::string msg =
        fileError([&] { readVTAF(path, label, c.n, af, noiseSourceLoc); });
    EXPECT_EQ(msg.rfind(path + ": ", 0), 0u) << c.name << ": " << msg;
    EXPECT_NE(msg.find(c.where), std::string::npos) << c.name << ": " << msg;
    EXPECT_NE(msg.find(c.expected), std::string::npos) << c.name << ": " << msg;
  }
  // A count that is not an integer is reported as the count, not as a mismatch.
  const std::string path = dir.write("a7.txt", "a 4.0 0.5 1 2 3 4");
  std::string label;
  area_function af[4];
  int noiseSourceLoc = 0;
  const std::string msg = fileError([&] { readVTAF(path, label, 4, af, noiseSourceLoc); });
  EXPECT_NE(msg.find("expected the number of sections (an integer), found \"4.0\""),
            std::string::npos)
      << msg;
}

TEST(ReadVTAFalloc, TakesTheFileCountAndNoNoiseSource) {
  ScratchDir dir;
  std::string label;
  int n = 0;
  std::vector<area_function> af;
  // A consonant file needs no noise-source section here.
  const std::string path = dir.write("data/s.txt", "s 4 0.5 1.0 2.0 3.0 0.2");
  ASSERT_TRUE(readVTAFalloc(path, label, n, af));
  EXPECT_EQ(label, "s");
  EXPECT_EQ(n, 4);
  ASSERT_EQ(af.size(), 4u);
  expectFourSections(af.data());

  // Missing file: false, outputs unchanged, no message.
  label = "old";
  EXPECT_FALSE(readVTAFalloc(dir.path("none.txt"), label, n, af));
  EXPECT_EQ(label, "old");
  EXPECT_EQ(n, 4);
  EXPECT_EQ(af.size(), 4u);

  // Malformed contents are errors, and a huge announced count is no huge allocation.
  const std::string bad = dir.write("big.txt", "a 2000000000 0.5 1.0");
  const std::string msg = fileError([&] { readVTAFalloc(bad, label, n, af); });
  EXPECT_NE(msg.find("area of section 1 of 2000000000"), std::string::npos) << msg;
  EXPECT_EQ(n, 4);
}

TEST(ReadVTAFContents, ZeroSectionsAndNoiseSourceOnRequest) {
  ScratchDir dir;
  const VTAFContents empty = readVTAFContents(dir.write("e.txt", "empty 0 1.0"), true);
  EXPECT_EQ(empty.label, "empty");
  EXPECT_TRUE(empty.sections.empty());
  EXPECT_FALSE(empty.noiseSourceLoc.has_value());
  const std::string s = dir.write("s.txt", kFourSections);
  EXPECT_EQ(readVTAFContents(s, true).noiseSourceLoc, 3);
  EXPECT_FALSE(readVTAFContents(s, false).noiseSourceLoc.has_value());
}

}  // namespace
}  // namespace vt
