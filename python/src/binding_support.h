#pragma once
// What the binding's parts share: the exceptions the package raises, and the
// conversions between MATLAB-shaped matrices and numpy arrays.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

#include "synth/score_json.h"
#include "synth/synthesis_result.h"

namespace vt::python {

namespace py = pybind11;

/// A call the synthesiser or a score check refuses; raised as quorvel.ArgumentError.
class ArgumentRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A file that cannot be read, written or combined; raised as quorvel.FileError.
class FileFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A matrix from a 2-D float64 array (rows × cols, any memory layout).
ScoreMatrix matrixFromArray(const py::handle& value, const char* name);

/// A rows × cols float64 array of a matrix.
py::array_t<double> arrayFromMatrix(const ScoreMatrix& m);

/// A score from its fields (2-D float64 arrays; TAF2_files a list of names or
/// None) through the score reader's checks; relative file names from baseDir.
/// Throws ArgumentRefused with the reader's message.
Score scoreOfFields(const py::dict& fields, const std::string& baseDir);

/// A file name for the C++ side: refuses a name with a zero character, which
/// the operating system would cut short and so open another file.
std::string fileName(const std::string& path, const char* what);

/// (status, printed, error, samples, fs Hz, nAcc or None, signals) of a
/// result; the samples and signals reach numpy without a copy.
py::tuple resultTuple(SynthesisResult&& r, float fs);

void bindScore(py::module_& m);
void bindSynthesizer(py::module_& m);
void bindAreaFunctions(py::module_& m);
void bindMedia(py::module_& m);
void bindAnalysis(py::module_& m);
void bindSynthesisPool(py::module_& m);
void bindCorpus(py::module_& m);

}  // namespace vt::python
