// SIGINT and SIGTERM end a command-line program without leaving the
// temporary file of an unfinished output behind.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "fileio/removal_on_signal.h"
#include "fileio/staged_output.h"

namespace vt {
namespace {

TEST(RemoveTemporariesOnSignal, SignalRemovesTheUnfinishedOutputAndEndsTheProcess) {
  char dir[] = "/tmp/vt-signal-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string out = std::string(dir) + "/out.avi";
  for (int sig : {SIGINT, SIGTERM}) {
    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // A program in the middle of writing: handlers installed, output staged.
      RemoveTemporariesOnSignal removal;
      StagedOutput staged(out);
      StagedOutput other(std::string(dir) + "/other.wav");
      const char ready = 1;
      if (write(pipeFd[1], &ready, 1) != 1) _exit(3);
      pause();
      _exit(4);  // not reached: the signal ends the process
    }
    char ready = 0;
    ASSERT_EQ(read(pipeFd[0], &ready, 1), 1);
    close(pipeFd[0]);
    close(pipeFd[1]);
    std::size_t staged = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) staged += e.is_regular_file();
    EXPECT_EQ(staged, 2u);  // both temporary files exist while the program runs
    kill(child, sig);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
    // Before, the ".part" and ".partial-" files stayed behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << sig;
  }
  std::filesystem::remove_all(dir);
}

TEST(RemoveTemporariesOnSignal, CommittedAndDestroyedOutputsAreForgotten) {
  char dir[] = "/tmp/vt-signal-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  // Far more outputs than the table holds, one after another: every slot
  // is released again, so the last one is still registered.
  for (int i = 0; i < 40; ++i) {
    StagedOutput s(std::string(dir) + "/f" + std::to_string(i) + ".wav");
    if (i % 2 == 0) s.commit();
  }
  const int slot = registerTemporary("/nonexistent/x");
  EXPECT_GE(slot, 0);
  unregisterTemporary(slot);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vt
