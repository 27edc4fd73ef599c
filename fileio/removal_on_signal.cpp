#include "fileio/removal_on_signal.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace vt {
namespace {

constexpr int kSlots = 16;
constexpr std::size_t kPathBytes = 4096;

/// Temporary files of unfinished outputs. A slot's name is written before
/// its flag is raised and the flag lowered before the slot is reused, so the
/// handler only reads complete names.
struct Temporaries {
  char path[kSlots][kPathBytes];
  std::atomic<bool> claimed[kSlots];  // slot owned by a registration
  std::atomic<bool> used[kSlots];     // path[slot] complete, to be removed
};
Temporaries g_temporaries{};

struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

extern "C" void removeTemporariesAndDie(int sig) {
  // Only async-signal-safe calls: unlink, sigaction, raise.
  for (int i = 0; i < kSlots; ++i) {
    if (g_temporaries.used[i].load()) ::unlink(g_temporaries.path[i]);
  }
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  ::sigaction(sig, &dfl, nullptr);
  ::raise(sig);
}

}  // namespace

RemoveTemporariesOnSignal::RemoveTemporariesOnSignal() {
  struct sigaction sa {};
  sa.sa_handler = removeTemporariesAndDie;
  sigemptyset(&sa.sa_mask);
  for (int s : kSignals) sigaddset(&sa.sa_mask, s);
  for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &sa, &g_previous[i]);
}

RemoveTemporariesOnSignal::~RemoveTemporariesOnSignal() {
  for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &g_previous[i], nullptr);
}

int registerTemporary(const std::string& path) {
  if (path.size() >= kPathBytes) return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (g_temporaries.claimed[i].exchange(true)) continue;
    std::memcpy(g_temporaries.path[i], path.c_str(), path.size() + 1);
    g_temporaries.used[i].store(true);
    return i;
  }
  return -1;
}

void unregisterTemporary(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  g_temporaries.used[slot].store(false);
  g_temporaries.claimed[slot].store(false);
}

}  // namespace vt
