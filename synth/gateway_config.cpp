#include "synth/gateway_config.h"

namespace vt {

void applySynthesisOptions(SimConfig& cfg, const SynthesisOptions& o, int nvt) {
  cfg.nbp = o.nbp;
  cfg.vocal_tract = o.vocal_tract ? 1 : 0;
  cfg.nasal_tract = o.nasal_tract ? 1 : 0;
  cfg.wall = o.wall ? 1 : 0;
  cfg.rad_boundary = o.rad_boundary ? 1 : 0;
  cfg.wall_radiation = o.wall_radiation ? 1 : 0;
  cfg.noise_source = o.noise_source ? 1 : 0;
  cfg.subGLTsystem = o.subGLTsystem ? 1 : 0;
  cfg.sinus_cavity = o.sinus_cavity ? 1 : 0;
  cfg.dynamic_term = o.dynamic_term ? 1 : 0;
  cfg.noiseAmp = o.noiseAmp;
  cfg.Psub = o.Psub;
  cfg.nvt = nvt;
}

void forceGatewayConfig(SimConfig& cfg, int nvt) { applySynthesisOptions(cfg, SynthesisOptions{}, nvt); }

}  // namespace vt
