#include "synth/gateway_config.h"

#include <algorithm>

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
  cfg.Psub = o.Psub_track.empty() ? o.Psub : static_cast<float>(o.Psub_track.front().value);
  cfg.nvt = nvt;
  cfg.nnc = static_cast<int>(o.coupling_lengths_cm.size());
  cfg.sinus_vol = o.sinus_vol;
  cfg.sinus_apt = o.sinus_apt;
  cfg.sinus_len = o.sinus_len;
  cfg.sinus_pos = o.sinus_pos;
  cfg.ntr = static_cast<int>(std::min<std::size_t>(o.trachea_sections.size(), 20));
  for (int i = 0; i < cfg.ntr; ++i) {
    cfg.aftr[i] = {static_cast<float>(o.trachea_sections[i].area_cm2),
                   static_cast<float>(o.trachea_sections[i].length_cm)};
  }
  cfg.wall_resi = o.wall_resi;
  cfg.wall_mass = o.wall_mass;
  cfg.wall_comp = o.wall_comp;
  cfg.trachea_resi = o.trachea_resi;
  cfg.trachea_mass = o.trachea_mass;
  cfg.trachea_comp = o.trachea_comp;
}

void forceGatewayConfig(SimConfig& cfg, int nvt) {
  applySynthesisOptions(cfg, SynthesisOptions{}, nvt);
}

}  // namespace vt
