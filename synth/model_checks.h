#pragma once

#include <string>

#include "synth/synthesis_request.h"

namespace vt {

/// The airway model and internal-signal choices of a request that the network
/// can run: velum branch point inside the tract, coupling, nasal and trachea
/// sections of positive finite length and non-negative area, sinus constants
/// and position, wall constants, lung pressure (number or track, 0..100 cm
/// H2O), noise scale, pulse quotients, velum and lung-pressure tracks whose
/// times the interpolator can walk, known signal names. Empty when accepted,
/// else what is wrong, naming the field as a score writes it (model.nasal.velum, ...).
std::string checkModelOptions(const SynthesisRequest& request);

}  // namespace vt
