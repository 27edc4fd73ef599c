// quorvel._core.SynthesisPool: many scores synthesised on a pool of C++
// threads, each by a synthesiser of its own, with the interpreter lock
// released while they run. The calling thread waits in short slices so that
// Ctrl-C and a progress display are served between them.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "binding_support.h"
#include "corpus/worker_pool.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"

namespace vt::python {
namespace {

/// One score of the pool: its request (or the refusal of its checks) and,
/// once run, its result.
struct PoolItem {
  SynthesisRequest request;
  SynthesisResult result;
  bool ready = false;  ///< false: result holds the checks' refusal
  bool ran = false;    ///< result is final (refused, failed or synthesised)
};

class SynthesisPool {
 public:
  /// Converts a score's fields to a typed request under the interpreter lock
  /// (ArgumentError from the score reader); a request the checks refuse is
  /// kept as that item's refusal.
  void add(const py::dict& fields) {
    if (started_) throw std::logic_error("SynthesisPool: add() after run()");
    PoolItem item;
    const CheckOutcome chk = requestFromScore(scoreOfFields(fields, ""), item.request);
    if (chk.status != 0) {
      item.result.status = chk.status;
      item.result.printed = chk.printed;
      item.result.error = chk.error;
      item.ran = true;
    } else {
      item.ready = true;
    }
    items_.push_back(std::move(item));
  }

  std::size_t size() const { return items_.size(); }

  /// Synthesises every item on `workers` threads (0: one per core) without
  /// the interpreter lock. stopAtFailure: once item k failed, items after k
  /// are no longer started (those under way are abandoned); every item before
  /// k still runs, so the first failure in item order is known. Every
  /// interval_s the calling thread checks for signals (Ctrl-C abandons all
  /// and raises KeyboardInterrupt) and calls onProgress(done, speech_s) when
  /// it is not None. Returns per item its outcome tuple, None when not run.
  py::list run(unsigned workers, bool stopAtFailure, const py::object& onProgress,
               double interval_s) {
    if (started_) throw std::logic_error("SynthesisPool: run() twice");
    if (!(interval_s > 0.0 && interval_s <= 60.0))
      throw py::value_error("interval: expected 0 < interval <= 60 s");
    started_ = true;
    const std::size_t n = items_.size();
    const unsigned threads = workerCount(workers);
    // Float samples and signals of the items under way stay within a quarter of the memory.
    std::size_t signalCount = 0;
    for (const PoolItem& it : items_)
      signalCount = std::max(signalCount, it.request.signals.size());
    const std::size_t limit = outputLimitForMemory(4 * (1 + signalCount) * threads);

    std::atomic<std::size_t> done{0};
    std::atomic<double> speech_s{0.0};
    std::atomic<std::size_t> firstFailure{n};
    std::atomic<bool> abandon{false};
    auto noteFailure = [&](std::size_t i) {
      std::size_t f = firstFailure.load();
      while (i < f && !firstFailure.compare_exchange_weak(f, i)) {}
    };
    for (std::size_t i = 0; i < n; ++i) {
      if (!items_[i].ready) {
        ++done;
        if (stopAtFailure) noteFailure(i);
      }
    }
    auto skipped = [&](std::size_t i) {
      return abandon.load() || (stopAtFailure && i > firstFailure.load());
    };
    std::mutex mutex;
    std::condition_variable finishedOrDone;
    bool finished = false;
    auto task = [&](std::size_t i) {
      PoolItem& item = items_[i];
      if (!item.ready || skipped(i)) return;
      SynthesisResult r;
      try {
        Synthesizer synth;  // a fresh one: the samples depend on this score alone
        synth.setOutputLimit(limit);
        synth.setInterruptCheck([&, i] { return skipped(i); });
        r = synth.synthesize(item.request);
      } catch (const std::bad_alloc&) {
        r = SynthesisResult{};
        r.status = 1;
        r.error = "out of memory while synthesising";
      } catch (const std::exception& e) {
        r = SynthesisResult{};
        r.status = 1;
        r.error = e.what();
      }
      if (r.status != 0 && skipped(i)) return;  // abandoned: not run
      if (r.status != 0 && stopAtFailure) noteFailure(i);
      if (r.status == 0)
        speech_s.fetch_add(static_cast<double>(r.samples.size()) / item.request.smpfrq);
      item.result = std::move(r);
      item.ran = true;
      ++done;
    };
    std::thread runner([&] {
      runOnWorkers(n, threads, task);
      {
        std::lock_guard lock(mutex);
        finished = true;
      }
      finishedOrDone.notify_all();
    });
    auto abandonAll = [&] {
      abandon = true;
      py::gil_scoped_release unlocked;
      runner.join();
    };
    const auto interval = std::chrono::duration<double>(interval_s);
    std::size_t shown = std::numeric_limits<std::size_t>::max();
    for (bool over = false; !over;) {
      {
        py::gil_scoped_release unlocked;
        std::unique_lock lock(mutex);
        over = finishedOrDone.wait_for(lock, interval, [&] { return finished; });
      }
      if (PyErr_CheckSignals() != 0) {
        py::error_already_set interrupted;  // KeyboardInterrupt, or what a handler raised
        abandonAll();
        throw interrupted;
      }
      if (!onProgress.is_none() && done.load() != shown) {
        shown = done.load();
        try {
          onProgress(shown, speech_s.load());
        } catch (...) {
          abandonAll();
          throw;
        }
      }
    }
    runner.join();

    py::list out;
    for (PoolItem& item : items_) {
      if (!item.ran)
        out.append(py::none());
      else
        out.append(resultTuple(std::move(item.result), item.request.smpfrq));
    }
    items_.clear();
    return out;
  }

 private:
  std::vector<PoolItem> items_;
  bool started_ = false;
};

}  // namespace

void bindSynthesisPool(py::module_& m) {
  py::class_<SynthesisPool>(
      m, "SynthesisPool",
      "Scores synthesised on C++ threads, each by a fresh synthesiser (quorvel.synthesize_many).")
      .def(py::init<>())
      .def("add", &SynthesisPool::add, py::arg("fields"),
           "Converts a score's checked fields to a request (ArgumentError when the score reader "
           "refuses them; a refusal of the synthesiser's checks becomes the item's outcome).")
      .def("__len__", &SynthesisPool::size)
      .def("run", &SynthesisPool::run, py::arg("workers"), py::arg("stop_at_failure"),
           py::arg("on_progress"), py::arg("interval") = 0.1,
           "Synthesises every item on `workers` threads (0: one per core) without the "
           "interpreter lock; calls on_progress(done, speech_s) from this thread every "
           "`interval` s. Returns per item (status, printed, error, samples, fs, nacc, signals) "
           "or None when it was not run.");
}

}  // namespace vt::python
