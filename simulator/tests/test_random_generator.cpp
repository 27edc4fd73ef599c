// The generator must give the C library's rand() sequence of a process that
// never seeds it. The reference comes from a fresh image of this executable
// (re-run with an environment variable), in which nothing draws before it.
#include "simulator/random_generator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kCount = 100000;
const std::uint32_t kSeeds[] = {1u, 0u, 12345u, 4294967295u};

// In the re-run image: the never-seeded sequence, then one per seed; exits.
const bool kDumpedReference = [] {
  if (std::getenv("VT_REFERENCE_RAND_DUMP") == nullptr) return false;
  std::vector<std::int32_t> v;
  for (int i = 0; i < kCount; ++i) v.push_back(std::rand());
  for (std::uint32_t s : kSeeds) {
    std::srand(s);
    for (int i = 0; i < kCount; ++i) v.push_back(std::rand());
  }
  std::fwrite(v.data(), sizeof v[0], v.size(), stdout);
  std::fflush(stdout);
  _exit(0);
}();

TEST(RandomGenerator, MatchesTheCLibraryRandNeverSeededAndSeeded) {
  ASSERT_FALSE(kDumpedReference);
  char exe[4096];
  const ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(len, 0);
  exe[len] = '\0';
  FILE* child = popen(("VT_REFERENCE_RAND_DUMP=1 '" + std::string(exe) + "'").c_str(), "r");
  ASSERT_NE(child, nullptr);
  std::vector<std::int32_t> ref(kCount * 5);
  const std::size_t got = std::fread(ref.data(), sizeof ref[0], ref.size(), child);
  pclose(child);
  ASSERT_EQ(got, ref.size()) << "reference process failed";
  EXPECT_EQ(ref[0], 1804289383);

  // One generator through all runs (re-seeding restarts it); a second one
  // drawn in between keeps its own sequence.
  vt::RandomGenerator gen, other;
  for (std::size_t i = 0; i < ref.size(); ++i) {
    if (i > 0 && i % kCount == 0) gen.seed(kSeeds[i / kCount - 1]);
    ASSERT_EQ(gen.next(), ref[i]) << "run " << i / kCount << " value " << i % kCount;
    if (i < kCount) {
      ASSERT_EQ(other.next(), ref[i]);
    }
  }
}

}  // namespace
