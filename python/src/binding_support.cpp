#include "binding_support.h"

#include <utility>
#include <vector>

namespace vt::python {

ScoreMatrix matrixFromArray(const py::handle& value, const char* name) {
  if (!py::isinstance<py::array>(value))
    throw py::type_error(std::string(name) + ": expected a 2-D float64 array");
  const auto a = py::reinterpret_borrow<py::array>(value);
  if (a.ndim() != 2 || !a.dtype().is(py::dtype::of<double>()))
    throw py::type_error(std::string(name) + ": expected a 2-D float64 array");
  const auto v = a.unchecked<double, 2>();  // follows the strides, native byte order
  ScoreMatrix m;
  m.rows = static_cast<std::size_t>(v.shape(0));
  m.cols = static_cast<std::size_t>(v.shape(1));
  m.values.resize(m.rows * m.cols);
  for (std::size_t c = 0; c < m.cols; ++c)
    for (std::size_t r = 0; r < m.rows; ++r)
      m.values[c * m.rows + r] = v(static_cast<py::ssize_t>(r), static_cast<py::ssize_t>(c));
  return m;
}

py::array_t<double> arrayFromMatrix(const ScoreMatrix& m) {
  py::array_t<double> a({static_cast<py::ssize_t>(m.rows), static_cast<py::ssize_t>(m.cols)});
  auto v = a.mutable_unchecked<2>();
  for (std::size_t c = 0; c < m.cols; ++c)
    for (std::size_t r = 0; r < m.rows; ++r)
      v(static_cast<py::ssize_t>(r), static_cast<py::ssize_t>(c)) = m.at(r, c);
  return a;
}

namespace {

/// Samples handed to numpy without a copy: the array owns the vector.
py::array_t<float> floatArray(std::vector<float>&& samples) {
  auto* owned = new std::vector<float>(std::move(samples));
  py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<float>*>(p); });
  return py::array_t<float>(static_cast<py::ssize_t>(owned->size()), owned->data(), owner);
}

}  // namespace

py::tuple resultTuple(SynthesisResult&& r, float fs) {
  py::dict signals;
  for (auto& [name, values] : r.signals) signals[py::str(name)] = floatArray(std::move(values));
  py::object nAcc = r.nAcc ? py::object(py::int_(*r.nAcc)) : py::none();
  return py::make_tuple(r.status, r.printed, r.error, floatArray(std::move(r.samples)), fs, nAcc,
                        signals);
}

std::string fileName(const std::string& path, const char* what) {
  if (path.find('\0') != std::string::npos)
    throw py::value_error(std::string(what) + " contains a zero character");
  if (path.empty()) throw py::value_error(std::string(what) + " is empty");
  return path;
}

}  // namespace vt::python
