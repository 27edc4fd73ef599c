#include "simulator/sim_constants.h"

#include <cmath>

namespace vt {

// Products of single-precision configuration values are formed in single
// precision, as in the expressions below; everything that meets dt_sim or a
// square root is double.
SimConstants derive_sim_constants(const SimConfig& cfg) {
  SimConstants k;
  const float pi = kPi;
  k.dt_sim = 1.0 / cfg.simfrq;
  const float ratio = cfg.simfrq / cfg.smpfrq;
  k.deci = static_cast<int>(ratio);

  const double two_sqrt_pi =
      std::sqrt(static_cast<double>(pi)) + std::sqrt(static_cast<double>(pi));
  k.K_Bernoulli = cfg.Kc * cfg.ro;
  k.K_viscous_glotte = 12 * cfg.lg * cfg.lg * cfg.xg * cfg.mu / 2;
  k.K_viscous_const = 8 * pi * cfg.mu / 2;
  k.La = (cfg.ro / 2) * (2 / k.dt_sim);
  k.Ca = (2 / k.dt_sim) / (cfg.c * (cfg.ro * cfg.c));
  k.Rw = cfg.wall_resi / two_sqrt_pi;
  k.Lw = (2 / k.dt_sim) * cfg.wall_mass / two_sqrt_pi;
  k.Cw = (k.dt_sim / 2) * cfg.wall_comp / two_sqrt_pi;
  if (cfg.subGLTsystem == 1) {
    k.Rt = cfg.trachea_resi / two_sqrt_pi;
    k.Lt = (2 / k.dt_sim) * cfg.trachea_mass / two_sqrt_pi;
    k.Ct = (k.dt_sim / 2) * cfg.trachea_comp / two_sqrt_pi;
  }
  k.Grad = 9 * pi * pi / (128 * cfg.ro * cfg.c);
  k.Srad = 3 * pi * std::sqrt(static_cast<double>(pi)) * (k.dt_sim / 2) / (8 * cfg.ro);
  k.Kr = cfg.ro * cfg.simfrq / ((pi + pi) * 100);
  k.Rlungs = 1.5 / std::sqrt(600.0);
  return k;
}

}  // namespace vt
