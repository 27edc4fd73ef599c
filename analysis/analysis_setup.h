#pragma once

#include <vector>

#include "records/area_function.h"
#include "simulator/sim_config.h"

namespace vt::analysis {

/// How the reactive elements are evaluated at a frequency f.
enum class FrequencyMapping {
  Analog,       ///< the continuous-time network: impedance of an inertance L is j·2πf·L
  Trapezoidal,  ///< as the trapezoidal rule at physics.simfrq sees it: j·(2/dt)·tan(πf·dt)·L
};

/// What terminates the network at the glottis.
enum class GlottisMode {
  Closed,  ///< ideal volume-velocity source (infinite source impedance)
  Loaded,  ///< source in parallel with the glottis and lungs at a given glottal area
};

/// Whose volume velocity a transfer function or an antiresonance refers to.
enum class FlowOutput {
  Lips,      ///< lip volume velocity
  Nostrils,  ///< nostril volume velocity (0 without a nasal branch)
  Total,     ///< lips plus nostrils: what the radiated pressure is made of
};

/// Physical configuration the synthesiser runs the network with: yielding
/// walls, radiation load from the opening area, default air and wall
/// constants, simulation rate 30000 Hz.
SimConfig synthesiserPhysics();

/// Everything besides the geometry that an analysis needs.
struct AnalysisSetup {
  /// Simulation rate simfrq (Hz, > 0: the companion scaling and, with
  /// Trapezoidal, the warp), air, wall and radiation constants, the switches
  /// `wall` and `rad_boundary`, the glottal depth and slit length, lung
  /// pressure Psub (cm H2O, for the linearised kinetic resistances) and the
  /// sinus parameters. nvt, nbp, nnc, nasal_tract and sinus_cavity are taken
  /// from the geometry and the NasalBranch instead.
  SimConfig physics = synthesiserPhysics();
  FrequencyMapping mapping = FrequencyMapping::Analog;
  GlottisMode glottis = GlottisMode::Closed;
  /// Glottal area, cm² (finite, >= 0; floored at 0.001 like every area).
  /// With Closed the flow law still sees the floored area (0.001 cm² when 0).
  float glottal_area_cm2 = 0.0f;
};

/// The nasal side branch, coupled at the velum.
///
/// The vocal tract given with it splits at `branch_section`: its sections
/// 0..branch_section-1 form the pharynx (glottis to velum), the sections
/// branch_section..n-1 the mouth branch (velum to lips). From the velum node
/// (no compliance of its own) the nasal branch leads to the nostrils:
/// `sections[0..coupling_sections-1]` are the velum coupling (port) sections,
/// tubes with a fixed extra resistance of 0.05 dyn·s/cm⁵ per half section;
/// the rest is the nasal tract proper (the same extra loss, optionally the
/// paranasal sinus as a Helmholtz resonator); the last section's area sets
/// the nostril radiation load. Element values are those of the simulator's
/// nasal branch with nbp = branch_section, nnc = coupling_sections,
/// afnt = sections, sinus_cavity = sinus.
struct NasalBranch {
  int branch_section = 9;     ///< nbp, 1..n-1 of the vocal tract
  int coupling_sections = 3;  ///< nnc, 0..sections.size()-1
  std::vector<area_function>
      sections;  ///< {area cm² >= 0, length cm >= 0}, velum first, nostrils last
  bool sinus =
      false;  ///< attach the sinus (physics.sinus_vol/apt/len/pos; pos counts coupling sections)
};

}  // namespace vt::analysis
