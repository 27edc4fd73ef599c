// quorvel._core: the C++ synthesiser and its companions for the Python
// package quorvel (which wraps this module; see python/quorvel/).

#include "binding_support.h"
#include "quorvel_version.h"

PYBIND11_MODULE(_core, m) {
  namespace vp = vt::python;
  m.doc() = "C++ core of the quorvel package (use the quorvel package, not this module)";
  m.attr("__version__") = vt::kQuorvelVersion;
  pybind11::register_exception<vp::ArgumentRefused>(m, "ArgumentError", PyExc_ValueError);
  pybind11::register_exception<vp::FileFailure>(m, "FileError", PyExc_OSError);
  vp::bindScore(m);
  vp::bindSynthesizer(m);
  vp::bindAreaFunctions(m);
  vp::bindMedia(m);
  vp::bindAnalysis(m);
  vp::bindSynthesisPool(m);
  vp::bindCorpus(m);
}
