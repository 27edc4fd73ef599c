#pragma once

#include "records/area_function.h"
#include "simulator/element_laws.h"
#include "simulator/sim_config.h"
#include "simulator/sim_constants.h"
#include "simulator/td_acoustic_elements.h"

namespace vt {

/// Radiation load of an opening of area A (cm²) from the configuration: with
/// rad_boundary 1 from the opening area, otherwise the fixed conductance
/// `fixed_G` (5 at the lips, 5000 at the nostrils). The history is kept.
inline void radiation_load(const SimConstants& k, int rad_boundary, float A, double fixed_G,
                           law::RadiationLoad& load) {
  law::radiation_load(k.Grad, k.Srad, rad_boundary == 1, A, fixed_G, load);
}

/// The same into separate conductance G and inertance admittance Lrad.
inline void radiation_load(const SimConstants& k, int rad_boundary, float A, double fixed_G,
                           double* G, double* Lrad) {
  law::RadiationLoad load;
  radiation_load(k, rad_boundary, A, fixed_G, load);
  *G = load.G;
  *Lrad = load.Lrad;
}

/// Tube models of acous_elements_t.
enum TubeKind : int {
  kTubeTrachea = 0,  ///< tube; walls always yield, trachea wall constants
  kTubeGlottis = 1,  ///< glottal slit: viscous resistance only, no inertance
  kTubeNasal = 4,    ///< tube with fixed extra losses (nasal coupling)
  kTubeVocal = 5,    ///< plain tube (main and mouth branch); any other kind acts so
};

/// Fills elements[0..count] from sections[0..count-1]: per junction the series
/// resistance and inertance (half of each neighbouring section), per section
/// the air compliance and the wall branch (wall 1 or trachea: yielding;
/// otherwise Yw = 0). Source fields are left untouched.
void acous_elements_t(const SimConstants& k, int wall, int type, int count,
                      const area_function* sections, td_acoustic_elements* elements);

/// Elements of the nasal tract proper: tube with fixed extra losses
/// (0.05 dyn·s/cm⁵ per half section) and, with cfg.sinus_cavity 1, the
/// paranasal sinus as a Helmholtz resonator in the wall branch of record
/// sinus_pos - nnc (0 when negative), whose own section is left out.
void NTacous_elements_t(const SimConstants& k, const SimConfig& cfg, int count,
                        const area_function* sections, td_acoustic_elements* elements);

}  // namespace vt
