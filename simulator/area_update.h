#pragma once

#include "records/area_function.h"
#include "simulator/constriction.h"

namespace vt {

/// Floor of every stored area (cm²) and length (cm): values below 0.001, NaN
/// included, become 0.001f, so a closed section never divides by zero.
inline float nonzero_t(float v) { return static_cast<double>(v) >= 0.001 ? v : 0.001f; }

/// Narrowest section of sections[0..count-1] whose area exceeds 0.001 cm² and
/// does not exceed 100 cm²; of equal areas the last wins. Sets found.A to the
/// minimum (100.0 when nothing qualifies) and, on success, found.index and
/// found.x; these keep their previous values when nothing qualifies.
void narrowest_section(const area_function* sections, int count, constriction& found);

/// The constriction over the main branch (af, nvt0 sections) and, when
/// nasal_tract is 1, the mouth branch (afbu, nbu0 sections): fills Ac_pharynx,
/// Ac_mouth and Ac (region 2 main, 3 mouth; equal areas: the mouth wins).
void find_constriction(const area_function* af, int nvt0, const area_function* afbu, int nbu0,
                       int nasal_tract, constriction& Ac_pharynx, constriction& Ac_mouth,
                       constriction& Ac);

/// One step's increment of a section: (floored target - current) / D, single precision.
inline float area_increment(float target, float current, float D) {
  return (nonzero_t(target) - current) / D;
}

}  // namespace vt
