// The generator must give the same numbers as the C library's rand() in a
// process that never seeds it. The reference numbers come from a fresh
// process image (this test executable re-executed with an environment
// variable): nothing in it, GoogleTest included, runs before it draws.

#include "simulator/random_generator.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kDumpVar = "VT_REFERENCE_RAND_DUMP";
constexpr int kUnseededCount = 200000;
constexpr int kSeededCount = 5000;
const std::uint32_t kSeeds[] = {0u, 1u, 2u, 12345u, 2147483647u, 4294967295u};

void WriteAll(const void* data, std::size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t w = write(1, p, n);
    if (w <= 0) _exit(3);
    p += w;
    n -= static_cast<std::size_t>(w);
  }
}

// Runs before main() in the re-executed image: writes the unseeded rand()
// sequence, then the sequences after srand() with each test seed, and exits.
const bool kDumpedReference = [] {
  if (std::getenv(kDumpVar) == nullptr) return false;
  std::vector<std::int32_t> v;
  for (int i = 0; i < kUnseededCount; ++i) v.push_back(std::rand());
  for (std::uint32_t s : kSeeds) {
    std::srand(s);
    for (int i = 0; i < kSeededCount; ++i) v.push_back(std::rand());
  }
  WriteAll(v.data(), v.size() * sizeof(std::int32_t));
  _exit(0);
}();

// Reference values from a child process; empty on failure.
std::vector<std::int32_t> ReferenceRand() {
  int fd[2];
  if (pipe(fd) != 0) return {};
  const pid_t pid = fork();
  if (pid < 0) return {};
  if (pid == 0) {
    dup2(fd[1], 1);
    close(fd[0]);
    close(fd[1]);
    setenv(kDumpVar, "1", 1);
    execl("/proc/self/exe", "/proc/self/exe", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fd[1]);
  std::vector<std::int32_t> v;
  std::string bytes;
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd[0], buf, sizeof buf);
    if (n <= 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  close(fd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  v.resize(bytes.size() / sizeof(std::int32_t));
  std::copy(bytes.data(), bytes.data() + v.size() * sizeof(std::int32_t),
            reinterpret_cast<char*>(v.data()));
  return v;
}

}  // namespace

TEST(RandomGenerator, MatchesUnseededAndSeededCLibraryRand) {
  ASSERT_FALSE(kDumpedReference);
  const std::vector<std::int32_t> ref = ReferenceRand();
  const std::size_t nseeds = sizeof kSeeds / sizeof kSeeds[0];
  ASSERT_EQ(ref.size(), kUnseededCount + nseeds * kSeededCount)
      << "reference child process failed";

  vt::RandomGenerator gen;
  std::size_t pos = 0;
  for (int i = 0; i < kUnseededCount; ++i, ++pos) {
    ASSERT_EQ(gen.next(), ref[pos]) << "unseeded value " << i;
  }
  for (std::uint32_t s : kSeeds) {
    gen.seed(s);
    for (int i = 0; i < kSeededCount; ++i, ++pos) {
      ASSERT_EQ(gen.next(), ref[pos]) << "seed " << s << " value " << i;
    }
  }
}

TEST(RandomGenerator, SeedOneAndZeroRestartTheUnseededSequence) {
  vt::RandomGenerator fresh;
  std::vector<std::int32_t> first;
  for (int i = 0; i < 100; ++i) first.push_back(fresh.next());
  EXPECT_EQ(first[0], 1804289383);  // the well-known first value
  EXPECT_EQ(first[1], 846930886);

  for (std::uint32_t s : {1u, 0u}) {
    vt::RandomGenerator g;
    for (int i = 0; i < 1000; ++i) g.next();
    g.seed(s);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(g.next(), first[i]) << "seed " << s;
  }
}

TEST(RandomGenerator, InstancesAreIndependent) {
  vt::RandomGenerator alone;
  std::vector<std::int32_t> seq;
  for (int i = 0; i < 1000; ++i) seq.push_back(alone.next());

  // Two generators drawn alternately, and a third that is drawn from and
  // re-seeded in between, each keep their own sequence.
  vt::RandomGenerator a, b, c;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(a.next(), seq[i]) << i;
    c.next();
    if (i == 500) c.seed(7);
    ASSERT_EQ(b.next(), seq[i]) << i;
    ASSERT_GE(seq[i], 0);
  }
}
