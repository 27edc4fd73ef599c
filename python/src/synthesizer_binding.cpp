// quorvel._core.Session: one synthesiser that carries its state across calls
// as the loaded MEX module does. Scores run through the typed request, calls
// with the MEX's arguments through the host-argument front end; both on the
// same synthesiser. The interpreter lock is released while it runs; one
// session runs one call at a time, different sessions in parallel.

#include <pybind11/stl.h>

#include <mutex>
#include <utility>
#include <vector>

#include "binding_support.h"
#include "synth/score_request.h"
#include "synth/synthesis_core.h"

namespace vt::python {
namespace {

/// The arguments of one host-style call, column-major, and their views.
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

class Session {
 public:
  /// maxSamples: longest output accepted (0: a quarter of the physical memory).
  explicit Session(std::size_t maxSamples) {
    // The float samples reach numpy without a copy; the caller's first
    // float64 conversion takes 8 bytes more per sample.
    session_.setOutputLimit(maxSamples != 0 ? maxSamples : outputLimitForMemory(12));
  }

  /// SIG = quorvel(args...) with nlhs results, as the MEX module runs it.
  py::tuple call(const py::sequence& args, int nlhs) {
    const CallArgs a(args);
    SynthesisResult out;
    float fs;
    {
      py::gil_scoped_release unlocked;
      std::lock_guard<std::mutex> lock(mutex_);
      out = session_.synthesize(nlhs, a.count(), a.views.data());
      fs = session_.rates().smpfrq;
    }
    return resultTuple(std::move(out), fs);
  }

  /// The score of the given fields, through its typed request.
  py::tuple synthesizeScore(const py::dict& fields) {
    SynthesisRequest request;
    const CheckOutcome chk = requestFromScore(scoreOfFields(fields, ""), request);
    if (chk.status != 0) {
      SynthesisResult refused;
      refused.status = chk.status;
      refused.printed = chk.printed;
      refused.error = chk.error;
      return resultTuple(std::move(refused), request.smpfrq);
    }
    SynthesisResult out;
    {
      py::gil_scoped_release unlocked;
      std::lock_guard<std::mutex> lock(mutex_);
      out = session_.synthesizer().synthesize(request);
    }
    return resultTuple(std::move(out), request.smpfrq);
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
           "Runs one MEX-style call on 2-D float64 arguments: (status, printed, error, samples, "
           "fs, nacc, signals).")
      .def("synthesize_score", &Session::synthesizeScore, py::arg("fields"),
           "Synthesises a score's checked fields: (status, printed, error, samples, fs, nacc, "
           "signals).");
  m.def(
      "check_score",
      [](const py::dict& fields) {
        SynthesisRequest request;
        const CheckOutcome c = requestFromScore(scoreOfFields(fields, ""), request);
        return py::make_tuple(c.status, c.printed, c.error);
      },
      py::arg("fields"), "The synthesiser's checks of a score alone: (status, printed, error).");
}

}  // namespace vt::python
