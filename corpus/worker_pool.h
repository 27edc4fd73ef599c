#pragma once

#include <cstddef>
#include <functional>
#include <stop_token>

namespace vt {

/// Number of worker threads for a request of `requested` (0: one per core).
unsigned workerCount(unsigned requested);

/// Runs task(i) for i = 0 .. count-1 on `workers` threads (0: one per core),
/// each thread taking the next index as it finishes one, and returns when all
/// have run. Once `stop` is requested no further index is started. Every task
/// must catch its own exceptions (one that escapes ends the process).
void runOnWorkers(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& task,
                  std::stop_token stop = {});

}  // namespace vt
