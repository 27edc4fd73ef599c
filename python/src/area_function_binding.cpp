// quorvel._core: VT area-function files, the four-tube model and tube-model
// tracks, as the readVTAF, FourTubeAF and interpolAx MEX entries give them.

#include <pybind11/stl.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "artic/area_function_file_error.h"
#include "artic/four_tube_af.h"
#include "artic/interpolAx.h"
#include "artic/vtaf_file.h"
#include "binding_support.h"

namespace vt::python {
namespace {

/// Areas (cm²) and lengths (cm) of sections as two float64 vectors.
std::pair<py::array_t<double>, py::array_t<double>> areasAndLengths(
    const std::vector<area_function>& af) {
  py::array_t<double> a(static_cast<py::ssize_t>(af.size()));
  py::array_t<double> x(static_cast<py::ssize_t>(af.size()));
  auto av = a.mutable_unchecked<1>();
  auto xv = x.mutable_unchecked<1>();
  for (std::size_t i = 0; i < af.size(); ++i) {
    av(static_cast<py::ssize_t>(i)) = af[i].A;
    xv(static_cast<py::ssize_t>(i)) = af[i].x;
  }
  return {a, x};
}

py::tuple readVtaf(const std::string& path, std::optional<long long> n) {
  if (n && (*n < 0 || *n > 2147483647))
    throw py::value_error(
        "n (the expected number of sections) must be a whole number from 0 "
        "to 2147483647");
  const std::string name = fileName(path, "the area-function file name");
  VTAFContents c;
  {
    py::gil_scoped_release unlocked;
    try {
      c = readVTAFContents(name, true, n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt);
    } catch (const AreaFunctionFileError& e) {
      throw FileFailure(e.what());
    }
  }
  auto [a, x] = areasAndLengths(c.sections);
  py::object noise = c.noiseSourceLoc ? py::object(py::int_(*c.noiseSourceLoc)) : py::none();
  return py::make_tuple(a, x, c.label, noise);
}

std::pair<py::array_t<double>, py::array_t<double>> fourTubeAf(const std::vector<double>& areas,
                                                               const std::vector<double>& lengths,
                                                               long long n) {
  if (areas.size() != 4 || lengths.size() != 4)
    throw py::value_error(
        "areas and lengths must hold 4 values each (tubes 1 to 4 from the "
        "glottis)");
  // Far beyond any vocal tract; keeps a mistyped count from exhausting memory.
  if (n < 1 || n > 1000000)
    throw py::value_error("n (the number of sections) must be a whole number from 1 to 1000000");
  area_function t[4];
  for (int k = 0; k < 4; ++k)
    t[k] = area_function{static_cast<float>(areas[k]), static_cast<float>(lengths[k])};
  std::vector<area_function> af(static_cast<std::size_t>(n));
  FourTubeAF(t[0], t[1], t[2], t[3], static_cast<int>(n),
             af.data());  // invalid_argument: ValueError
  return areasAndLengths(af);
}

/// Area (cm²), length (cm) and ended flag of a tube track at the given
/// samples (whole numbers in any order), run from sample 0 up to the largest.
py::tuple tubeTrack(const std::string& path, const std::vector<unsigned int>& samples, double fs,
                    int kind) {
  if (!(fs > 0.0 && fs < 1e9))
    throw py::value_error("fs must be a sampling frequency in Hz above 0 and below 1e9");
  if (kind < 0 || kind > 2)
    throw py::value_error("kind (the law before the first key) must be 0, 1 or 2");
  interpoMemTube mem;
  mem.fileName = fileName(path, "the tube key file name");
  mem.kind = kind;
  const std::size_t count = samples.size();
  std::vector<std::pair<unsigned int, std::size_t>> wanted(count);
  for (std::size_t i = 0; i < count; ++i) wanted[i] = {samples[i], i};
  std::sort(wanted.begin(), wanted.end());
  std::vector<double> a(count), x(count), ended(count);
  {
    py::gil_scoped_release unlocked;
    try {
      // Sample 0 reads the key file, also when no sample is requested.
      const unsigned int last = count ? wanted.back().first : 0u;
      std::size_t w = 0;
      for (unsigned int n = 0;; ++n) {
        const area_function v = interpolAx(n, &mem, static_cast<float>(fs));
        for (; w < count && wanted[w].first == n; ++w) {
          a[wanted[w].second] = v.A;
          x[wanted[w].second] = v.x;
          ended[wanted[w].second] = mem.ended;
        }
        if (n == last) break;
      }
    } catch (const AreaFunctionFileError& e) {
      throw FileFailure(e.what());
    }
  }
  return py::make_tuple(py::array_t<double>(count, a.data()), py::array_t<double>(count, x.data()),
                        py::array_t<double>(count, ended.data()));
}

}  // namespace

void bindAreaFunctions(py::module_& m) {
  m.def("read_vtaf", &readVtaf, py::arg("path"), py::arg("n") = std::nullopt,
        "(areas cm², lengths cm, label, noise-source section or None) of a VT area-function "
        "file.");
  m.def("four_tube_af", &fourTubeAf, py::arg("areas"), py::arg("lengths"), py::arg("n"),
        "(areas cm², lengths cm) of n equal sections from a four-tube model.");
  m.def("tube_track", &tubeTrack, py::arg("path"), py::arg("samples"), py::arg("fs"),
        py::arg("kind"), "(areas cm², lengths cm, ended) of a tube track at the given samples.");
}

}  // namespace vt::python
