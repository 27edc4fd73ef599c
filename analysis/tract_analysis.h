#pragma once

#include <complex>
#include <optional>
#include <span>
#include <vector>

#include "analysis/analysis_setup.h"
#include "records/area_function.h"
#include "simulator/constriction.h"
#include "simulator/sim_constants.h"
#include "simulator/td_acoustic_elements.h"

namespace vt::analysis {

/// Small-signal response of the network at one frequency, per unit of glottal
/// volume velocity (the flow the source drives into the tract at the glottal
/// outlet; with a loaded glottis, the source flow before it divides between
/// the tract and the glottis).
struct Response {
  std::complex<double> lips;  ///< lip volume velocity / glottal volume velocity
  std::complex<double>
      nostrils;  ///< nostril volume velocity / glottal volume velocity (0 without nasal branch)
  std::complex<double> pressure;  ///< radiated pressure at 100 cm, dyn/cm² per cm³/s (the
                                  ///< simulator's output before decimation)
  std::complex<double>
      z_in;  ///< input impedance of the tract seen from the glottal outlet, dyn·s/cm⁵
};

/// A resonance or an antiresonance: a pole or zero of the network function.
struct Resonance {
  double frequency_hz;  ///< centre frequency, Hz
  double bandwidth_hz;  ///< 3-dB bandwidth, Hz (NaN if the pole could not be located)
};

/// The network the time-domain simulator solves, for one fixed geometry,
/// analysed in the frequency domain: lumped T-sections with viscous
/// resistance, inertance, air compliance and yielding walls, the lip
/// radiation load (conductance parallel to an inertance), optionally the
/// nasal branch with its coupling sections, extra losses, sinus and nostril
/// radiation, and the linearised kinetic resistances of the glottis and of the
/// narrowest section at the stationary flow. Element values come from the
/// simulator's own element routines, so both model the same network.
class TractAnalysis {
 public:
  /// Builds the network. tract: {area cm², length cm} per section, glottis end
  /// first; areas finite and >= 0, lengths finite and >= 0 (both floored at
  /// 0.001 like the simulator's). Throws std::invalid_argument with a message
  /// naming the offending value.
  explicit TractAnalysis(std::span<const area_function> tract, const AnalysisSetup& setup = {},
                         const std::optional<NasalBranch>& nasal = std::nullopt);

  /// Response at frequency f_hz (finite, >= 0; below simfrq/2 with the
  /// trapezoidal mapping).
  Response at(double f_hz) const;
  /// Responses on a grid of frequencies (Hz, finite, >= 0, strictly
  /// increasing; below simfrq/2 with the trapezoidal mapping).
  std::vector<Response> sweep(std::span<const double> f_hz) const;

  /// Resonances (poles of the network seen from the glottal source) below
  /// f_max_hz, in increasing frequency: the formants.
  std::vector<Resonance> formants(double f_max_hz) const;
  /// Antiresonances (zeros of the transfer function to `output`) below
  /// f_max_hz; empty without a nasal branch, whose chain has no zeros in the
  /// audio range.
  std::vector<Resonance> antiresonances(double f_max_hz,
                                        FlowOutput output = FlowOutput::Total) const;

  /// Network quantities (for inspection): the simulator's constants at physics.simfrq.
  const SimConstants& constants() const { return k_; }
  /// The narrowest section that carries the constriction resistance.
  const constriction& narrowest() const { return Ac_; }
  /// Stationary flow through glottis and constriction, cm³/s.
  double stationary_flow_cm3_s() const { return Udc_; }
  bool has_nasal_branch() const { return nasal_; }
  const AnalysisSetup& setup() const { return setup_; }

 private:
  struct Flows {
    std::complex<double> P_cut, U_cut, U_lip, U_nos;
  };
  /// Complex companion frequency of f: p = j·πf·dt (analog) or j·tan(πf·dt).
  std::complex<double> companion(double f_hz) const;
  /// Companion frequency of a pole of centre f_hz and bandwidth bandwidth_hz.
  std::complex<double> companion_of(double f_hz, double bandwidth_hz) const;
  /// Pole (p) to centre frequency and bandwidth, under the mapping in use.
  Resonance resonance_of(std::complex<double> p) const;
  /// Pressure and flow at the glottal outlet and the radiated flows, for a
  /// unit lip pressure (with the nasal branch: lip pressure = the velum
  /// pressure of the nasal branch at unit nostril pressure, and vice versa),
  /// so that every quantity is free of poles: the zeros of the glottal flow
  /// are the resonances, those of a radiated flow its antiresonances.
  Flows flows(std::complex<double> p) const;
  std::complex<double> source_admittance(std::complex<double> p) const;
  /// Glottal volume velocity driving the flows of `f`.
  std::complex<double> glottal_flow(const Flows& f, std::complex<double> p) const;
  Response response(std::complex<double> p) const;
  /// Transfer function from the glottal volume velocity to `output`.
  std::complex<double> output_transfer(std::complex<double> p, FlowOutput output) const;
  /// Radiated flow of `output` in the normalisation of flows().
  static std::complex<double> output_flow(const Flows& f, FlowOutput output);
  void check_frequency(double f_hz) const;

  AnalysisSetup setup_;
  SimConstants k_{};
  bool nasal_ = false;
  std::vector<td_acoustic_elements> ac_, acbu_, acnc_, acna_;
  td_acoustic_elements acglt_[2]{};
  double Grad_lip_ = 0, Lrad_lip_ = 0, Grad_nos_ = 0, Lrad_nos_ = 0;
  constriction Ac_{};
  double Udc_ = 0;
};

}  // namespace vt::analysis
