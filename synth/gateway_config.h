#pragma once

#include "simulator/sim_config.h"
#include "synth/synthesis_options.h"

namespace vt {

/// Sets the simulator's switches, noise scale, lung pressure (the first value
/// of a lung-pressure track), section count (nvt, 1..40), coupling-section
/// count, sinus, trachea and wall constants from the synthesis options; every
/// other value keeps what it holds (the frication source position among them).
void applySynthesisOptions(SimConfig& cfg, const SynthesisOptions& options, int nvt);

/// The configuration the quorvel synthesiser always runs with: the default
/// options (moving tract of nvt sections, no nasal branch, yielding walls,
/// radiation load from the lip opening, no wall radiation, noise on with
/// noiseAmp 1e-8, velum branch point at section 9).
void forceGatewayConfig(SimConfig& cfg, int nvt);

}  // namespace vt
