#include "synth/synthesizer.h"

#include <algorithm>
#include <new>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "artic/sample_index.h"
#include "synth/synthesis_run.h"

namespace vt {

std::size_t outputLimitForMemory(std::size_t bytesPerSample) {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGE_SIZE)
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && pageSize > 0 && bytesPerSample > 0) {
    return static_cast<std::size_t>(pages) / (4 * bytesPerSample) *
           static_cast<std::size_t>(pageSize);
  }
#endif
  return 0;
}

std::size_t outputLength(const SynthesisRequest& rq) {
  std::size_t last = 0;
  for (const ControlTrack* t : {&rq.TAg0, &rq.TAgP}) {
    if (t->empty()) continue;
    const float t_ms = static_cast<float>(t->back().time_ms);
    last = std::max<std::size_t>(last, breakPointSample(t_ms, rq.smpfrq));
  }
  return last + 1;
}

SynthesisResult Synthesizer::synthesize(const SynthesisRequest& request) {
  SynthesisRun run(*this, request);
  // One output sample per pass.
  while (!run.finished()) {
    run.prepare();
    if (run.finished()) break;  // out of memory while preparing
    float s;
    try {
      s = run.advanceAlone();
    } catch (const std::bad_alloc&) {
      run.failOutOfMemory();
      break;
    }
    run.take(s);
  }
  return run.takeResult();
}

}  // namespace vt
