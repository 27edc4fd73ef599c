#pragma once

#include "simulator/sim_config.h"

namespace vt {

/// Forces the simulator configuration the synthesiser runs with: a moving
/// vocal tract of nvt sections (1..40) without nasal branch, yielding walls,
/// radiation load from the lip opening, no wall radiation, aspiration and
/// frication noise on (noiseAmp 1e-8), velum branch point at section 9.
/// Every other value keeps what it holds.
void forceGatewayConfig(SimConfig& cfg, int nvt);

}  // namespace vt
