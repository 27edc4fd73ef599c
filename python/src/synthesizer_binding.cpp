// quorvel._core.Session: one synthesiser that carries its state across calls
// as the loaded MEX module does. The interpreter lock is released while it
// runs; one session runs one call at a time, different sessions in parallel.

#include <pybind11/stl.h>

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "binding_support.h"
#include "synth/synthesis_core.h"

namespace vt::python {
namespace {

/// The arguments of one call, column-major, and their views for the core.
struct CallArgs {
  std::vector<ScoreMatrix> mats;
  std::vector<ArgView> views;
  explicit CallArgs(const py::sequence& args) {
    mats.reserve(args.size());
    for (std::size_t i = 0; i < args.size(); ++i)
      mats.push_back(matrixFromArray(args[i], "argument"));
    for (const ScoreMatrix& m : mats) views.push_back(m.view());
  }
  int count() const { return static_cast<int>(views.size()); }
};

/// Samples handed to numpy without a copy: the array owns the vector.
py::array_t<float> samplesArray(std::vector<float>&& samples) {
  auto* owned = new std::vector<float>(std::move(samples));
  py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<float>*>(p); });
  return py::array_t<float>(static_cast<py::ssize_t>(owned->size()), owned->data(), owner);
}

class Session {
 public:
  /// maxSamples: longest output accepted (0: a quarter of the physical memory).
  explicit Session(std::size_t maxSamples) {
    // The float samples are handed over without a copy: 4 bytes per sample,
    // doubled for the caller's first float64 conversion.
    session_.setOutputLimit(maxSamples != 0 ? maxSamples : outputLimitForMemory(12));
  }

  /// SIG = quorvel(args...) with nlhs results: (status, printed, error, samples).
  py::tuple call(const py::sequence& args, int nlhs) {
    const CallArgs a(args);
    SynthesisOutcome out;
    {
      py::gil_scoped_release unlocked;
      std::lock_guard<std::mutex> lock(mutex_);
      out = session_.synthesize(nlhs, a.count(), a.views.data());
    }
    return py::make_tuple(out.status, out.printed, out.error, samplesArray(std::move(out.samples)));
  }

  /// Output rate (Hz) and VCV flag as the last argument check left them.
  std::pair<float, int> rates() {
    std::lock_guard<std::mutex> lock(mutex_);
    return {session_.rates().smpfrq, session_.rates().VCV};
  }

 private:
  QuorvelSession session_;
  std::mutex mutex_;
};

}  // namespace

void bindSynthesizer(py::module_& m) {
  py::class_<Session>(m, "Session", "One synthesiser whose state carries across calls.")
      .def(py::init<std::size_t>(), py::arg("max_samples") = 0)
      .def("call", &Session::call, py::arg("args"), py::arg("nlhs") = 1,
           "Runs one call on 2-D float64 arguments: (status, printed, error, samples).")
      .def("rates", &Session::rates, "(output rate in Hz, VCV flag) of the last call.");
  m.def(
      "check_call",
      [](const py::sequence& args) {
        const CallArgs a(args);
        GatewayRates rates;
        const CheckOutcome c = CheckArguments(1, a.count(), a.views.data(), rates);
        return py::make_tuple(c.status, c.printed, c.error);
      },
      py::arg("args"), "The argument check alone: (status, printed, error).");
}

}  // namespace vt::python
