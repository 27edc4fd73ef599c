#include "analysis/tract_analysis.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/flow_law.h"

namespace vt::analysis {

namespace {

using cplx = std::complex<double>;

[[noreturn]] void refuse(const std::string& msg) { throw std::invalid_argument(msg); }

// Areas and lengths as the simulator accepts them: finite and not negative.
// Zero is a closed section (floored at 0.001 like every stored value).
std::vector<area_function> checked_sections(std::span<const area_function> s, const char* what) {
  if (s.empty()) refuse(std::string(what) + ": no sections given");
  std::vector<area_function> out(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const float A = s[i].A, x = s[i].x;
    if (!std::isfinite(A) || A < 0)
      refuse(std::string(what) + ": area of section " + std::to_string(i) + " is " +
             std::to_string(A) + " (must be finite and >= 0 cm²)");
    if (!std::isfinite(x) || x < 0)
      refuse(std::string(what) + ": length of section " + std::to_string(i) + " is " +
             std::to_string(x) + " (must be finite and >= 0 cm)");
    out[i] = {nonzero_t(A), nonzero_t(x)};
  }
  return out;
}

}  // namespace

SimConfig synthesiserPhysics() {
  SimConfig cfg;
  cfg.wall = 1;
  cfg.rad_boundary = 1;
  cfg.vocal_tract = 1;
  return cfg;
}

TractAnalysis::TractAnalysis(std::span<const area_function> tract, const AnalysisSetup& setup,
                             const std::optional<NasalBranch>& nasal)
    : setup_(setup), nasal_(nasal.has_value()) {
  SimConfig& cfg = setup_.physics;
  if (!std::isfinite(cfg.simfrq) || cfg.simfrq <= 0)
    refuse("simulation rate must be finite and > 0 Hz (got " + std::to_string(cfg.simfrq) + ")");
  if (!std::isfinite(cfg.Psub) || cfg.Psub < 0)
    refuse("lung pressure must be finite and >= 0 cm H2O (got " + std::to_string(cfg.Psub) + ")");
  if (!std::isfinite(setup.glottal_area_cm2) || setup.glottal_area_cm2 < 0)
    refuse("glottal area must be finite and >= 0 cm² (got " +
           std::to_string(setup.glottal_area_cm2) + ")");
  const std::vector<area_function> af = checked_sections(tract, "vocal tract");
  const int n = static_cast<int>(af.size());

  cfg.smpfrq = cfg.simfrq;
  cfg.nvt = n;
  cfg.nasal_tract = nasal_ ? 1 : 0;
  cfg.subGLTsystem = 0;
  k_ = derive_sim_constants(cfg);

  int nvt0 = n, nbu0 = 0;
  std::vector<area_function> afnt;
  if (nasal_) {
    const NasalBranch& nb = *nasal;
    if (nb.branch_section < 1 || nb.branch_section >= n)
      refuse("nasal branch: the velum branch section must lie in 1.." + std::to_string(n - 1) +
             " (got " + std::to_string(nb.branch_section) + ")");
    afnt = checked_sections(nb.sections, "nasal branch");
    const int nnt = static_cast<int>(afnt.size());
    if (nb.coupling_sections < 0 || nb.coupling_sections >= nnt)
      refuse("nasal branch: coupling sections must be 0.." + std::to_string(nnt - 1) +
             ", leaving at least one nasal-tract section (got " +
             std::to_string(nb.coupling_sections) + ")");
    cfg.nbp = nb.branch_section;
    cfg.nnc = nb.coupling_sections;
    cfg.sinus_cavity = nb.sinus ? 1 : 0;
    if (nb.sinus && cfg.sinus_pos - cfg.nnc > nnt - cfg.nnc)
      refuse("nasal branch: the sinus position lies beyond the nasal tract");
    nvt0 = cfg.nbp;
    nbu0 = n - cfg.nbp;
  }

  ac_.assign(nvt0 + 1, td_acoustic_elements{});
  acous_elements_t(k_, cfg.wall, kTubeVocal, nvt0, af.data(), ac_.data());
  const area_function* afbu = af.data() + nvt0;
  if (nasal_) {
    const int nnc = cfg.nnc, nna0 = static_cast<int>(afnt.size()) - nnc;
    acbu_.assign(nbu0 + 1, td_acoustic_elements{});
    acous_elements_t(k_, cfg.wall, kTubeVocal, nbu0, afbu, acbu_.data());
    acnc_.assign(nnc + 1, td_acoustic_elements{});
    acous_elements_t(k_, cfg.wall, kTubeNasal, nnc, afnt.data(), acnc_.data());
    acna_.assign(nna0 + 1, td_acoustic_elements{});
    NTacous_elements_t(k_, cfg, nna0, afnt.data() + nnc, acna_.data());
    radiation_load(k_, cfg.rad_boundary, afnt.back().A, 5000.0, &Grad_nos_, &Lrad_nos_);
  }
  radiation_load(k_, cfg.rad_boundary, af.back().A, 5.0, &Grad_lip_, &Lrad_lip_);

  // Glottis and the flow law: the kinetic resistances of the glottis and of
  // the narrowest section, linearised at the stationary flow, as every step
  // of the simulator puts them into the network.
  const area_function afglt{nonzero_t(setup.glottal_area_cm2), nonzero_t(cfg.xg)};
  acous_elements_t(k_, cfg.wall, kTubeGlottis, 1, &afglt, acglt_);
  constriction pharynx{}, mouth{};
  find_constriction(af.data(), nvt0, afbu, nbu0, cfg.nasal_tract, pharynx, mouth, Ac_);
  const QuasiStationaryFlow q =
      quasi_stationary_flow(k_, cfg.H2O_bar, cfg.Psub, acglt_, afglt.A, Ac_);
  Udc_ = q.Udc;
  acglt_[1].R += q.Rg_k;
  if (Ac_.region == 2)
    ac_[Ac_.index + 1].R = q.Rc_v + q.Rc_k;
  else if (Ac_.region == 3)
    acbu_[Ac_.index + 1].R = q.Rc_v + q.Rc_k;
}

std::complex<double> TractAnalysis::companion(double f_hz) const {
  const double theta = std::numbers::pi * f_hz * k_.dt_sim;
  return {0.0, setup_.mapping == FrequencyMapping::Trapezoidal ? std::tan(theta) : theta};
}

Resonance TractAnalysis::resonance_of(std::complex<double> p) const {
  const double dt = k_.dt_sim, pi = std::numbers::pi;
  if (setup_.mapping == FrequencyMapping::Trapezoidal) {
    const cplx z = (1.0 + p) / (1.0 - p);
    return {std::arg(z) / (2 * pi * dt), -std::log(std::abs(z)) / (pi * dt)};
  }
  const cplx s = 2.0 * p / dt;
  return {s.imag() / (2 * pi), -s.real() / pi};
}

void TractAnalysis::check_frequency(double f_hz) const {
  if (!std::isfinite(f_hz) || f_hz < 0)
    refuse("frequency must be finite and >= 0 Hz (got " + std::to_string(f_hz) + ")");
  if (setup_.mapping == FrequencyMapping::Trapezoidal && f_hz >= 0.5 * setup_.physics.simfrq)
    refuse("frequency " + std::to_string(f_hz) + " Hz is not below half the simulation rate (" +
           std::to_string(0.5 * setup_.physics.simfrq) + " Hz)");
}

// Series branch of a junction and shunt branch of a section in companion
// form: the stored values are R, 2L/dt, 2C/dt and, for the wall, Rw, 2Lw/dt
// and dt/(2Cw), so with p = s·dt/2 the impedances are R + p·L, the shunt
// admittance p·C + 1/(Rw + p·Lw + Cw/p).
TractAnalysis::Flows TractAnalysis::flows(std::complex<double> p) const {
  const bool walls = setup_.physics.wall == 1;
  auto Z = [&](const td_acoustic_elements& e) { return e.R + p * e.L; };
  auto Y = [&](const td_acoustic_elements& e) {
    cplx y = p * e.C;
    if (walls) y += 1.0 / (e.Rw + p * e.Lw + e.Cw / p);
    return y;
  };
  // From the outlet of element `count` back to just downstream of element 0's
  // series branch (the junction rows upstream of each section node).
  auto sections_up = [&](const std::vector<td_acoustic_elements>& e, int count, bool outlet,
                         cplx& P, cplx& U) {
    for (int k = count; k >= 1; --k) {
      if (k < count || outlet) P += Z(e[k]) * U;
      U += Y(e[k]) * P;
    }
  };

  Flows f;
  cplx P = 1.0, U = Grad_lip_ + Lrad_lip_ / p;  // unit pressure on the lip radiation load
  f.U_lip = U;
  if (nasal_) {
    sections_up(acbu_, static_cast<int>(acbu_.size()) - 1, true, P, U);
    P += Z(acbu_[0]) * U;  // velum node pressure
    // Nasal branch from unit nostril pressure, scaled to the velum pressure.
    const int nnc = static_cast<int>(acnc_.size()) - 1, nna0 = static_cast<int>(acna_.size()) - 1;
    cplx Pn = 1.0, Un = Grad_nos_ + Lrad_nos_ / p;
    const cplx U_nos = Un;
    sections_up(acna_, nna0, true, Pn, Un);
    Pn += (Z(acna_[0]) + Z(acnc_[nnc])) * Un;  // shared junction of coupling and nasal tract
    sections_up(acnc_, nnc, false, Pn, Un);
    if (nnc > 0) Pn += Z(acnc_[0]) * Un;
    // Both branches share the velum pressure: scale the mouth branch by the
    // nasal velum pressure and the nasal branch by the mouth one (no
    // division, so every flow stays free of poles of its own).
    f.U_lip *= Pn;
    f.U_nos = U_nos * P;
    U = U * Pn + Un * P;
    P *= Pn;
  }
  sections_up(ac_, static_cast<int>(ac_.size()) - 1, true, P, U);
  P += Z(ac_[0]) * U;
  f.P_cut = P;
  f.U_cut = U;
  return f;
}

// Impedance looking back from the glottal outlet: the glottal outlet half
// (viscous and linearised kinetic), the glottal section's compliance and
// wall, the inlet half and the lung resistance to the lungs (constant
// pressure: small-signal ground).
std::complex<double> TractAnalysis::source_admittance(std::complex<double> p) const {
  if (setup_.glottis == GlottisMode::Closed) return 0.0;
  const td_acoustic_elements& g = acglt_[1];
  cplx Yg = p * g.C;
  if (setup_.physics.wall == 1) Yg += 1.0 / (g.Rw + p * g.Lw + g.Cw / p);
  const cplx Zsrc = g.R + 1.0 / (Yg + 1.0 / (acglt_[0].R + k_.Rlungs));
  return 1.0 / Zsrc;
}

std::complex<double> TractAnalysis::glottal_flow(const Flows& f, std::complex<double> p) const {
  return f.U_cut + source_admittance(p) * f.P_cut;
}

std::complex<double> TractAnalysis::output_flow(const Flows& f, FlowOutput output) {
  switch (output) {
    case FlowOutput::Lips:
      return f.U_lip;
    case FlowOutput::Nostrils:
      return f.U_nos;
    case FlowOutput::Total:
      break;
  }
  return f.U_lip + f.U_nos;
}

std::complex<double> TractAnalysis::output_transfer(std::complex<double> p,
                                                    FlowOutput output) const {
  const Flows f = flows(p);
  return output_flow(f, output) / glottal_flow(f, p);
}

Response TractAnalysis::response(std::complex<double> p) const {
  const Flows f = flows(p);
  const cplx Ug = glottal_flow(f, p);
  Response r;
  r.lips = f.U_lip / Ug;
  r.nostrils = f.U_nos / Ug;
  r.z_in = f.P_cut / f.U_cut;
  // Radiated pressure Kr times the change of the radiated flow per step:
  // (1 - z⁻¹) = 2p/(1+p) under the trapezoidal mapping, s·dt = 2p otherwise.
  const cplx diff = setup_.mapping == FrequencyMapping::Trapezoidal ? 2.0 * p / (1.0 + p) : 2.0 * p;
  r.pressure = k_.Kr * diff * (r.lips + r.nostrils);
  return r;
}

Response TractAnalysis::at(double f_hz) const {
  check_frequency(f_hz);
  // At 0 Hz the radiation and wall reactances are singular; the limit from
  // just above is the small-signal answer.
  return response(f_hz > 0 ? companion(f_hz) : companion(1e-9));
}

std::vector<Response> TractAnalysis::sweep(std::span<const double> f_hz) const {
  for (std::size_t i = 0; i < f_hz.size(); ++i) {
    check_frequency(f_hz[i]);
    if (i > 0 && !(f_hz[i] > f_hz[i - 1]))
      refuse("frequency grid must be strictly increasing (entry " + std::to_string(i) + ": " +
             std::to_string(f_hz[i]) + " Hz after " + std::to_string(f_hz[i - 1]) + " Hz)");
  }
  std::vector<Response> out;
  out.reserve(f_hz.size());
  for (double f : f_hz) out.push_back(at(f));
  return out;
}

}  // namespace vt::analysis
