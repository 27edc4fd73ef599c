#include <cmath>
#include <stdexcept>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/network_equations.h"
#include "simulator/network_solver.h"
#include "simulator/signal_tap.h"
#include "simulator/simulator.h"

namespace vt {

float Simulator::vtt_sim() {
  if (!running_) throw std::logic_error("vtt_sim: no active run (call vtt_ini first)");
  if (afvt == nullptr) throw std::logic_error("vtt_sim: no vocal-tract area function (afvt)");
  if (nasal_ && afnt == nullptr) throw std::logic_error("vtt_sim: no nasal area function (afnt)");
  dax();
  float out = 0.0f;
  const bool fast = can_pipeline();
  for (int i = 0; i < k_.deci; ++i) {
    const int flag = i == k_.deci - 1 ? 1 : 0;
    out = fast ? step_pipelined(flag) : step(flag);
    if (tap_ != nullptr) tap_->record(*this, flag);
  }
  return out;
}

// One simulation step; returns decim(flag, radiated pressure).
float Simulator::step(int flag) {
  settle_rows();
  const SimLayout& L = lay_;
  const int wall = cfg.wall;

  // Geometry one increment further, fresh elements.
  afglt_.A = nonzero_t(afglt_.A + dafglt_.A);
  if (cfg.vocal_tract == 1) refresh_af();
  acous_elements_t(k_, wall, kTubeGlottis, L.nglt0, &afglt_, acglt_);
  if (cfg.vocal_tract == 1) refresh_acoustic_elements();

  flow_law();
  if (Ac_.region == 2)
    ac_[Ac_.index + 1].R = Rc_v_ + Rc_k_;
  else if (Ac_.region == 3)
    acbu_[Ac_.index + 1].R = Rc_v_ + Rc_k_;
  if (cfg.noise_source == 1) inject_noise();

  // Coefficients.
  int pos = 1;
  if (subglt_) {
    eq_elements_t(kTubeTrachea, &pos, L.ntr, actr_.data(), eq_.data(), wall);
    eq_[1].coef += k_.Rlungs;
  }
  eq_elements_t(kTubeGlottis, &pos, L.nglt0, acglt_, eq_.data(), wall);
  if (!subglt_) eq_[1].coef += k_.Rlungs;
  eq_elements_t(kTubeVocal, &pos, nvt0_, ac_.data(), eq_.data(), wall);
  if (nasal_) {
    pos = 1;
    eq_elements_t(kTubeVocal, &pos, nbu0_, acbu_.data(), eqbu_.data(), wall);
    pos = 1;
    eq_elements_t(kTubeNasal, &pos, nnc_, acnc_.data(), eqnt_.data(), wall);
    eq_elements_t(kTubeNasal, &pos, nna0_, acna_.data(), eqnt_.data(), wall);
  }

  // Sources from the previous solution.
  U1_wall_ = 0.0;
  pos = 1;
  if (subglt_) force_constants(kTubeTrachea, &pos, L.ntr, actr_.data(), eq_.data(), wall, &U1_wall_);
  force_constants(kTubeGlottis, &pos, L.nglt0, acglt_, eq_.data(), wall, &U1_wall_);
  force_constants(kTubeVocal, &pos, nvt0_, ac_.data(), eq_.data(), wall, &U1_wall_);
  const bool rad = cfg.rad_boundary == 1;
  if (!nasal_) {
    if (rad) {
      iLrad_lip_ = iLrad_lip_ + 2 * Lrad_lip_ * eq_[n4_].val;
      eq_[n4_].src = -iLrad_lip_;
    }
  } else {
    pos = 1;
    force_constants(kTubeVocal, &pos, nbu0_, acbu_.data(), eqbu_.data(), wall, &U1_wall_);
    if (rad) {
      iLrad_lip_ += 2 * Lrad_lip_ * eqbu_[nbu4_].val;
      eqbu_[nbu4_].src = -iLrad_lip_;
    }
    pos = 1;
    force_constants(kTubeNasal, &pos, nnc_, acnc_.data(), eqnt_.data(), wall, &U1_wall_);
    force_constants(kTubeNasal, &pos, nna0_, acna_.data(), eqnt_.data(), wall, &U1_wall_);
    if (rad) {
      iLrad_nos_ += 2 * Lrad_nos_ * eqnt_[L.nnt4].val;
      eqnt_[L.nnt4].src = -iLrad_nos_;
    }
  }

  // Solve.
  if (!nasal_)
    solve_single_chain(eq_.data(), L.n3, L.n4);
  else
    solve_three_branch(eq_.data(), L.n3, eqbu_.data(), L.nbu4, eqnt_.data(), L.nnt4);

  // Radiated pressure: change of the radiated volume velocity over the step.
  U0_lip_ = U1_lip_;
  U1_lip_ = nasal_ ? -eqbu_[L.nbu3].val : -eq_[L.n3].val;
  double d = U1_lip_ - U0_lip_;
  if (cfg.wall_radiation == 1) {
    d += U1_wall_ - U0_wall_;
    U0_wall_ = U1_wall_;
  }
  if (nasal_) {
    U0_nos_ = U1_nos_;
    U1_nos_ = -eqnt_[L.nnt3].val;
    d += U1_nos_ - U0_nos_;
  }
  const float s = static_cast<float>(d * k_.Kr);
  return decim_.decim(flag, s);
}

void Simulator::vtt_term() {
  actr_ = {};
  af_ = {};
  daf_ = {};
  ac_ = {};
  eq_ = {};
  afbu_ = {};
  dafbu_ = {};
  acbu_ = {};
  eqbu_ = {};
  afnc_ = {};
  dafnc_ = {};
  acnc_ = {};
  afna_ = {};
  acna_ = {};
  eqnt_ = {};
  Dbuf_[0] = {};
  Dbuf_[1] = {};
  pending_ = false;
  pivots_in_buffer_ = false;
  running_ = false;
}

}  // namespace vt
