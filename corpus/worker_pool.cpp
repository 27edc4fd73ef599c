#include "corpus/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vt {

unsigned workerCount(unsigned requested) {
  if (requested != 0) return requested;
  return std::max(1u, std::thread::hardware_concurrency());
}

void runOnWorkers(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& task,
                  std::stop_token stop) {
  std::atomic<std::size_t> next{0};
  auto drain = [&] {
    for (std::size_t i; !stop.stop_requested() && (i = next.fetch_add(1)) < count;) task(i);
  };
  const std::size_t n = std::min<std::size_t>(workerCount(workers), count);
  if (n <= 1) {
    drain();
    return;
  }
  std::vector<std::jthread> threads;
  threads.reserve(n - 1);
  for (std::size_t t = 1; t < n; ++t) threads.emplace_back(drain);
  drain();  // the calling thread is one of the workers
}

}  // namespace vt
