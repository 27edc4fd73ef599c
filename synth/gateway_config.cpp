#include "synth/gateway_config.h"

namespace vt {

void forceGatewayConfig(SimConfig& cfg, int nvt) {
  cfg.nbp = 9;
  cfg.vocal_tract = 1;
  cfg.nasal_tract = 0;
  cfg.wall = 1;
  cfg.rad_boundary = 1;
  cfg.wall_radiation = 0;
  cfg.noise_source = 1;
  cfg.noiseAmp = static_cast<float>(2e-8 * 0.5);
  cfg.nvt = nvt;
}

}  // namespace vt
