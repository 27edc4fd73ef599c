#include <cmath>

#include "simulator/simulator.h"

namespace vt {

// Quasi-stationary flow through glottis and constriction in series under the
// full lung pressure, and the kinetic (Bernoulli) resistances linearised
// around it; the glottal one goes onto the glottal outlet junction.
void Simulator::flow_law() {
  td_acoustic_elements* g = net_.glottis.ac.data();
  const float Ag = net_.glottis.af[0].A;
  Rg_v_ = g[0].R + g[1].R;
  Ag2_ = 1.0 / (Ag * Ag);
  Ac2_ = 1.0 / (Ac_.A * Ac_.A);
  Rc_v_ = 2 * k_.K_viscous_const * Ac_.x * Ac2_;
  rv_sum_ = Rg_v_ + Rc_v_;
  rk_sum_ = (Ag2_ + Ac2_) * k_.K_Bernoulli;
  // Positive root of rk_sum·U² + rv_sum·U = lung pressure (dyn/cm²).
  Udc_ = (std::sqrt(rv_sum_ * rv_sum_ + 4.0 * rk_sum_ * cfg.H2O_bar * cfg.Psub) - rv_sum_) /
         (2 * rk_sum_);
  Rg_k_ = k_.K_Bernoulli * Udc_ * Ag2_;
  Rc_k_ = k_.K_Bernoulli * Udc_ * Ac2_;
  g[1].R += Rg_k_;
}

// Branch that holds the constriction (Ac.region 2: main, 3: mouth), or none.
AirwayBranch* Simulator::constriction_branch() {
  if (Ac_.region == 2) return &net_.main;
  if (Ac_.region == 3) return &net_.mouth;
  return nullptr;
}

void Simulator::set_lung_pressure(float Psub_cmH2O) {
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
    b->ac[m].srcP = n * cfg.noiseAmp * Udc_ * Udc_ * Udc_ / std::pow(static_cast<double>(Ac_.A), 2.5);
    fric_m_ = static_cast<int>(m);
  }
  const float n = noise3_.frictionNoise3(1, memGlt_, rng_);
  net_.glottis.ac[1].srcP = 0.1 * cfg.noiseAmp * n * Udc_ * Udc_ * Udc_ /
                            std::pow(static_cast<double>(net_.glottis.af[0].A), 2.5);
}

// Pressure after the lung resistance: the lung pressure less Rlungs times the
// flow into the first junction; with the trachea, its last section's pressure.
double Simulator::subglottal_pressure() const {
  settle_rows();
  const AirwayNetwork& n = net_;
  if (n.has_trachea() && n.trachea.sections() > 0) return n.eq[n.trachea.last_row() - 1].val;
  return n.eq.empty() ? 0.0 : n.eq[0].elimSrc - k_.Rlungs * n.eq[1].val;
}

// Pressure of the section after the constriction (the radiation row or the
// velum node when the constriction is the last section of its branch).
double Simulator::pressure_behind_constriction() const {
  settle_rows();
  const AirwayBranch* b = Ac_.region == 2 ? &net_.main : Ac_.region == 3 ? &net_.mouth : nullptr;
  if (b == nullptr || b->rows == nullptr) return 0.0;
  return b->rows[b->first_row + 2 * Ac_.index + 3].val;
}

}  // namespace vt
