#include <cmath>

#include "simulator/flow_law.h"
#include "simulator/simulator.h"

namespace vt {

QuasiStationaryFlow quasi_stationary_flow(const SimConstants& k, float H2O_bar, float Psub,
                                          const td_acoustic_elements* acglt, float Ag,
                                          const constriction& Ac) {
  QuasiStationaryFlow q;
  q.Rg_v = acglt[0].R + acglt[1].R;
  q.Ag2 = 1.0 / (Ag * Ag);
  q.Ac2 = 1.0 / (Ac.A * Ac.A);
  q.Rc_v = 2 * k.K_viscous_const * Ac.x * q.Ac2;
  q.rv_sum = q.Rg_v + q.Rc_v;
  q.rk_sum = (q.Ag2 + q.Ac2) * k.K_Bernoulli;
  q.Udc = (std::sqrt(q.rv_sum * q.rv_sum + 4.0 * q.rk_sum * H2O_bar * Psub) - q.rv_sum) /
          (2 * q.rk_sum);
  q.Rg_k = k.K_Bernoulli * q.Udc * q.Ag2;
  q.Rc_k = k.K_Bernoulli * q.Udc * q.Ac2;
  return q;
}

// Quasi-stationary flow through glottis and constriction in series under the
// full lung pressure, and the kinetic (Bernoulli) resistances linearised
// around it; the glottal one goes onto the glottal outlet junction.
void Simulator::flow_law() {
  td_acoustic_elements* g = net_.glottis.ac.data();
  const QuasiStationaryFlow q =
      quasi_stationary_flow(k_, cfg.H2O_bar, cfg.Psub, g, net_.glottis.af[0].A, Ac_);
  Rg_v_ = q.Rg_v;
  Ag2_ = q.Ag2;
  Ac2_ = q.Ac2;
  Rc_v_ = q.Rc_v;
  rv_sum_ = q.rv_sum;
  rk_sum_ = q.rk_sum;
  Udc_ = q.Udc;
  Rg_k_ = q.Rg_k;
  Rc_k_ = q.Rc_k;
  g[1].R += Rg_k_;
}

// Branch that holds the constriction (Ac.region 2: main, 3: mouth), or none.
AirwayBranch* Simulator::constriction_branch() {
  if (Ac_.region == 2) return &net_.main;
  if (Ac_.region == 3) return &net_.mouth;
  return nullptr;
}

void Simulator::set_lung_pressure(float Psub_cmH2O) {
  reclaim();
  cfg.Psub = Psub_cmH2O;
  if (running_) net_.eq[0].elimSrc = cfg.H2O_bar * cfg.Psub;
}

// Frication noise noiseSourceLoc junctions downstream of the constriction's
// outlet, aspiration noise at the glottal outlet; both scale with Udc³ and
// the inverse 2.5th power of their area. The constriction source draws first.
void Simulator::inject_noise() {
  if (AirwayBranch* b = constriction_branch()) {
    const int bound = b->sections();
    // Beyond the lips, or upstream of the branch inlet: the constriction's
    // outlet. Summed in 64 bits, so that no source offset can overflow.
    long long m = static_cast<long long>(Ac_.index) + cfg.noiseSourceLoc + 1;
    if (m > bound || m < 0) m = Ac_.index + 1;
    const float n = noise3_.frictionNoise3(1, memAc_, rng_);
    b->ac[m].srcP = n * cfg.noiseAmp * Udc_ * Udc_ * Udc_ / pow_constriction_(Ac_.A);
    fric_m_ = static_cast<int>(m);
  }
  const float n = noise3_.frictionNoise3(1, memGlt_, rng_);
  net_.glottis.ac[1].srcP =
      0.1 * cfg.noiseAmp * n * Udc_ * Udc_ * Udc_ / pow_glottis_(net_.glottis.af[0].A);
}

}  // namespace vt
