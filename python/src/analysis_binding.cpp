// quorvel._core: frequency-domain analysis of an area function (transfer
// function, formants) and the per-frame ground truth of a score.

#include <pybind11/complex.h>
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/tract_analysis.h"
#include "binding_support.h"
#include "synth/score_request.h"
#include "synth/utterance_tracks.h"

namespace vt::python {
namespace {

using analysis::TractAnalysis;

std::vector<area_function> sectionsOf(const std::vector<double>& areas,
                                      const std::vector<double>& lengths, const char* what) {
  if (lengths.size() != 1 && lengths.size() != areas.size())
    throw ArgumentRefused(std::string(what) + ": lengths must be one value or one per section (" +
                          std::to_string(areas.size()) + "), not " +
                          std::to_string(lengths.size()));
  std::vector<area_function> s(areas.size());
  for (std::size_t i = 0; i < areas.size(); ++i)
    s[i] = {static_cast<float>(areas[i]),
            static_cast<float>(lengths.size() == 1 ? lengths[0] : lengths[i])};
  return s;
}

/// The analysis of one geometry; refusals of the model become ArgumentError.
TractAnalysis analysisOf(const std::vector<double>& areas, const std::vector<double>& lengths,
                         const std::optional<py::dict>& nasal, std::optional<double> glottalArea,
                         std::optional<double> warpFs) {
  analysis::AnalysisSetup setup;
  if (warpFs) {
    setup.mapping = analysis::FrequencyMapping::Trapezoidal;
    setup.physics.simfrq = static_cast<float>(*warpFs);
  }
  if (glottalArea) {
    setup.glottis = analysis::GlottisMode::Loaded;
    setup.glottal_area_cm2 = static_cast<float>(*glottalArea);
  }
  std::optional<analysis::NasalBranch> nb;
  if (nasal) {
    const py::dict& d = *nasal;
    analysis::NasalBranch b;
    b.sections = sectionsOf(d["areas"].cast<std::vector<double>>(),
                            d["lengths"].cast<std::vector<double>>(), "nasal");
    if (d.contains("branch_section")) b.branch_section = d["branch_section"].cast<int>();
    if (d.contains("coupling_sections")) b.coupling_sections = d["coupling_sections"].cast<int>();
    if (d.contains("sinus")) b.sinus = d["sinus"].cast<bool>();
    nb = std::move(b);
  }
  try {
    return TractAnalysis(sectionsOf(areas, lengths, "tract"), setup, nb);
  } catch (const std::invalid_argument& e) {
    throw ArgumentRefused(e.what());
  }
}

py::tuple transferFunction(const std::vector<double>& areas, const std::vector<double>& lengths,
                           const std::vector<double>& freqs, const std::optional<py::dict>& nasal,
                           std::optional<double> glottalArea, std::optional<double> warpFs) {
  const TractAnalysis ta = analysisOf(areas, lengths, nasal, glottalArea, warpFs);
  std::vector<analysis::Response> r;
  try {
    r = ta.sweep(freqs);
  } catch (const std::invalid_argument& e) {
    throw ArgumentRefused(e.what());
  }
  const auto n = static_cast<py::ssize_t>(r.size());
  py::array_t<std::complex<double>> lips(n), nostrils(n), pressure(n), zin(n);
  for (py::ssize_t i = 0; i < n; ++i) {
    lips.mutable_at(i) = r[i].lips;
    nostrils.mutable_at(i) = r[i].nostrils;
    pressure.mutable_at(i) = r[i].pressure;
    zin.mutable_at(i) = r[i].z_in;
  }
  return py::make_tuple(lips, nostrils, pressure, zin);
}

py::tuple formants(const std::vector<double>& areas, const std::vector<double>& lengths,
                   double maxHz, const std::optional<py::dict>& nasal,
                   std::optional<double> glottalArea, std::optional<double> warpFs,
                   bool antiresonances) {
  const TractAnalysis ta = analysisOf(areas, lengths, nasal, glottalArea, warpFs);
  std::vector<analysis::Resonance> F;
  try {
    F = antiresonances ? ta.antiresonances(maxHz) : ta.formants(maxHz);
  } catch (const std::invalid_argument& e) {
    throw ArgumentRefused(e.what());
  }
  std::vector<double> f, b;
  for (const auto& r : F) f.push_back(r.frequency_hz), b.push_back(r.bandwidth_hz);
  return py::make_tuple(f, b);
}

py::dict tracks(const py::dict& fields, double everyMs) {
  SynthesisRequest request;
  const CheckOutcome chk = requestFromScore(scoreOfFields(fields, ""), request);
  if (chk.status != 0) throw ArgumentRefused(chk.error);
  std::string err;
  double duration = 0;
  std::vector<TrackFrame> frames;
  {
    py::gil_scoped_release unlocked;
    frames = utteranceTracks(request, everyMs, err, &duration);
  }
  if (!err.empty()) throw ArgumentRefused(err);
  const auto n = static_cast<py::ssize_t>(frames.size());
  py::array_t<double> t(n), f0(n), ag(n), ps(n), sec(n), area(n), fric(n);
  py::array_t<double> F({n, py::ssize_t{5}}), B({n, py::ssize_t{5}});
  for (py::ssize_t i = 0; i < n; ++i) {
    const TrackFrame& fr = frames[static_cast<std::size_t>(i)];
    t.mutable_at(i) = fr.time_ms;
    f0.mutable_at(i) = fr.f0_Hz;
    ag.mutable_at(i) = fr.Ag_cm2;
    ps.mutable_at(i) = fr.Psub_cmH2O;
    sec.mutable_at(i) = fr.narrowest_section;
    area.mutable_at(i) = fr.narrowest_area_cm2;
    fric.mutable_at(i) = fr.frication_junction;
    for (py::ssize_t k = 0; k < 5; ++k) {
      const bool has = static_cast<std::size_t>(k) < fr.formants.size();
      F.mutable_at(i, k) = has ? fr.formants[k].frequency_hz : std::nan("");
      B.mutable_at(i, k) = has ? fr.formants[k].bandwidth_hz : std::nan("");
    }
  }
  py::dict d;
  d["time_ms"] = t, d["F0_Hz"] = f0, d["Ag_cm2"] = ag, d["Psub_cmH2O"] = ps;
  d["formants_Hz"] = F, d["bandwidths_Hz"] = B;
  d["narrowest_section"] = sec, d["narrowest_area_cm2"] = area, d["frication_junction"] = fric;
  d["duration_s"] = duration;
  return d;
}

}  // namespace

void bindAnalysis(py::module_& m) {
  m.def("transfer_function", &transferFunction, py::arg("areas"), py::arg("lengths"),
        py::arg("freqs"), py::arg("nasal") = std::nullopt, py::arg("glottal_area") = std::nullopt,
        py::arg("warp_fs") = std::nullopt,
        "(lips, nostrils, pressure, z_in) per frequency, complex, per unit glottal flow.");
  m.def("formants", &formants, py::arg("areas"), py::arg("lengths"), py::arg("max_hz"),
        py::arg("nasal") = std::nullopt, py::arg("glottal_area") = std::nullopt,
        py::arg("warp_fs") = std::nullopt, py::arg("antiresonances") = false,
        "(frequencies, bandwidths) in Hz of the resonances (or antiresonances) below max_hz.");
  m.def("tracks", &tracks, py::arg("fields"), py::arg("every_ms"),
        "Per-frame ground truth of a score's checked fields (dict of arrays).");
}

}  // namespace vt::python
