#include <cmath>

#include "simulator/simulator.h"

namespace vt {

// Quasi-stationary flow through glottis and constriction in series under the
// full lung pressure, and the kinetic (Bernoulli) resistances linearised
// around it; the glottal one goes onto the glottal outlet junction.
void Simulator::flow_law() {
  Rg_v_ = acglt_[0].R + acglt_[1].R;
  Ag2_ = 1.0 / (afglt_.A * afglt_.A);
  Ac2_ = 1.0 / (Ac_.A * Ac_.A);
  Rc_v_ = 2 * k_.K_viscous_const * Ac_.x * Ac2_;
  rv_sum_ = Rg_v_ + Rc_v_;
  rk_sum_ = (Ag2_ + Ac2_) * k_.K_Bernoulli;
  Udc_ = (std::sqrt(rv_sum_ * rv_sum_ + 4.0 * rk_sum_ * cfg.H2O_bar * cfg.Psub) - rv_sum_) /
         (2 * rk_sum_);
  Rg_k_ = k_.K_Bernoulli * Udc_ * Ag2_;
  Rc_k_ = k_.K_Bernoulli * Udc_ * Ac2_;
  acglt_[1].R += Rg_k_;
}

void Simulator::set_lung_pressure(float Psub_cmH2O) {
  cfg.Psub = Psub_cmH2O;
  if (running_) eq_[0].elimSrc = cfg.H2O_bar * cfg.Psub;
}

// Frication noise noiseSourceLoc junctions downstream of the constriction's
// outlet, aspiration noise at the glottal outlet; both scale with Udc³ and
// the inverse 2.5th power of their area. The constriction source draws first.
void Simulator::inject_noise() {
  if (Ac_.region == 2 || Ac_.region == 3) {
    const int bound = Ac_.region == 2 ? nvt0_ : nbu0_;
    // Beyond the lips, or upstream of the branch inlet: the constriction's
    // outlet. Summed in 64 bits, so that no source offset can overflow.
    long long m = static_cast<long long>(Ac_.index) + cfg.noiseSourceLoc + 1;
    if (m > bound || m < 0) m = Ac_.index + 1;
    const float n = noise3_.frictionNoise3(1, memAc_, rng_);
    td_acoustic_elements* e = Ac_.region == 2 ? ac_.data() : acbu_.data();
    e[m].srcP = n * cfg.noiseAmp * Udc_ * Udc_ * Udc_ / std::pow(static_cast<double>(Ac_.A), 2.5);
    fric_m_ = static_cast<int>(m);
  }
  const float n = noise3_.frictionNoise3(1, memGlt_, rng_);
  acglt_[1].srcP =
      0.1 * cfg.noiseAmp * n * Udc_ * Udc_ * Udc_ / std::pow(static_cast<double>(afglt_.A), 2.5);
}

}  // namespace vt
