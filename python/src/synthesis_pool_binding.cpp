// quorvel._core.SynthesisPool: many scores synthesised on a pool of C++
// threads, each by a synthesiser of its own, with the interpreter lock
// released while they run. The calling thread waits in short slices so that
// Ctrl-C and a progress display are served between them.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "binding_support.h"
#include "corpus/worker_pool.h"
#include "synth/lane_synthesis.h"
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
  /// lanes > 1: each thread synthesises up to that many items together, their
  /// networks advanced in lockstep; the outcomes are the same.
  py::list run(unsigned workers, bool stopAtFailure, const py::object& onProgress,
               double interval_s, unsigned lanes) {
    if (started_) throw std::logic_error("SynthesisPool: run() twice");
    if (!(interval_s > 0.0 && interval_s <= 60.0))
      throw py::value_error("interval: expected 0 < interval <= 60 s");
    if (lanes < 1 || lanes > kMaxSynthesisLanes)
      throw py::value_error("lanes: expected 1 to " + std::to_string(kMaxSynthesisLanes) +
                            " scores per thread, got " + std::to_string(lanes));
    started_ = true;
    const std::size_t n = items_.size();
    const unsigned threads = workerCount(workers);
    // Float samples and signals of the items under way stay within a quarter of the memory.
    std::size_t signalCount = 0;
    for (const PoolItem& it : items_)
      signalCount = std::max(signalCount, it.request.signals.size());
    const std::size_t limit = outputLimitForMemory(4 * (1 + signalCount) * threads * lanes);

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
    // The outcome of item i once its synthesis ended (r: its result).
    auto finishItem = [&](std::size_t i, SynthesisResult r) {
      PoolItem& item = items_[i];
      if (r.status != 0 && skipped(i)) return;  // abandoned: not run
      if (r.status != 0 && stopAtFailure) noteFailure(i);
      if (r.status == 0)
        speech_s.fetch_add(static_cast<double>(r.samples.size()) / item.request.smpfrq);
      item.result = std::move(r);
      item.ran = true;
      ++done;
    };
    auto failure = [](const std::exception_ptr& thrown) {
      SynthesisResult r;
      r.status = 1;
      try {
        std::rethrow_exception(thrown);
      } catch (const std::bad_alloc&) {
        r.error = "out of memory while synthesising";
      } catch (const std::exception& e) {
        r.error = e.what();
      }
      return r;
    };
    // A fresh synthesiser for item i: the samples depend on this score alone.
    auto synthesizerFor = [&](std::size_t i) {
      auto synth = std::make_unique<Synthesizer>();
      synth->setOutputLimit(limit);
      synth->setInterruptCheck([&, i] { return skipped(i); });
      return synth;
    };
    auto task = [&](std::size_t i) {
      PoolItem& item = items_[i];
      if (!item.ready || skipped(i)) return;
      SynthesisResult r;
      try {
        r = synthesizerFor(i)->synthesize(item.request);
      } catch (...) {
        r = failure(std::current_exception());
      }
      finishItem(i, std::move(r));
    };
    // Lanes: each thread keeps up to `group` items under way, taking the next
    // whenever one ends; no more than spread the items over all threads.
    const unsigned group =
        static_cast<unsigned>(std::clamp<std::size_t>((n + threads - 1) / threads, 1, lanes));
    std::atomic<std::size_t> nextIndex{0};
    auto laneWorker = [&](std::size_t) {
      std::vector<std::unique_ptr<Synthesizer>> synths(group);
      std::vector<std::size_t> itemOf(group);
      auto next = [&](LaneRequest& r) {
        for (std::size_t i; (i = nextIndex.fetch_add(1)) < n;) {
          if (!items_[i].ready || skipped(i)) continue;
          std::size_t k = 0;
          while (synths[k]) ++k;
          try {
            synths[k] = synthesizerFor(i);
          } catch (...) {
            finishItem(i, failure(std::current_exception()));
            continue;
          }
          itemOf[k] = i;
          r = LaneRequest{synths[k].get(), &items_[i].request, k};
          return true;
        }
        return false;
      };
      auto ended = [&](std::size_t k, LaneOutcome&& o) {
        synths[k].reset();
        finishItem(itemOf[k], o.thrown ? failure(o.thrown) : std::move(o.result));
      };
      try {
        synthesizeLanes(group, next, ended);
      } catch (...) {
        // Only the lane group's own bookkeeping can fail here (memory): its
        // items under way report it.
        const SynthesisResult r = failure(std::current_exception());
        for (std::size_t k = 0; k < group; ++k)
          if (synths[k]) {
            synths[k].reset();
            finishItem(itemOf[k], r);
          }
      }
    };
    std::thread runner([&] {
      if (group <= 1)
        runOnWorkers(n, threads, task);
      else
        runOnWorkers(threads, threads, laneWorker);
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
           py::arg("on_progress"), py::arg("interval") = 0.1, py::arg("lanes") = 1,
           "Synthesises every item on `workers` threads (0: one per core) without the "
           "interpreter lock; calls on_progress(done, speech_s) from this thread every "
           "`interval` s; each thread synthesises up to `lanes` items together (same outcomes). "
           "Returns per item (status, printed, error, samples, fs, nacc, signals) "
           "or None when it was not run.");
}

}  // namespace vt::python
