#include <cmath>
#include <stdexcept>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/network_equations.h"
#include "simulator/network_solver.h"
#include "simulator/signal_tap.h"
#include "simulator/simulator.h"

namespace vt {

void Simulator::check_step_inputs() const {
  if (!running_) throw std::logic_error("vtt_sim: no active run (call vtt_ini first)");
  if (afvt == nullptr) throw std::logic_error("vtt_sim: no vocal-tract area function (afvt)");
  if (net_.has_nasal() && afnt == nullptr)
    throw std::logic_error("vtt_sim: no nasal area function (afnt)");
}

float Simulator::vtt_sim() {
  reclaim();
  complete_output(&out_now_);
  check_step_inputs();
  dax();
  return sample_steps();
}

// The steps of one output sample after the geometry increments; returns the
// output sample (0 when it is left pending).
float Simulator::sample_steps() {
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
  AirwayNetwork& n = net_;
  const int wall = cfg.wall;

  // Geometry one increment further, fresh elements. A pending output
  // summation advances between the pieces of the step, beside their work.
  advance_output(10);
  n.glottis.af[0].A = nonzero_t(n.glottis.af[0].A + n.glottis.daf[0].A);
  if (cfg.vocal_tract == 1) refresh_af();
  advance_output(10);
  glottal_elements_.fill(n.glottis.af[0].A, n.glottis.af[0].x, wall, n.glottis.ac.data(), [&] {
    acous_elements_t(k_, wall, kTubeGlottis, 1, n.glottis.af.data(), n.glottis.ac.data());
  });
  if (cfg.vocal_tract == 1) refresh_acoustic_elements();

  // Flow law, constriction resistance, noise sources.
  advance_output(10);
  flow_law();
  if (AirwayBranch* b = constriction_branch()) b->ac[Ac_.index + 1].R = Rc_v_ + Rc_k_;
  if (cfg.noise_source == 1) inject_noise();

  // Row coefficients in flow order; the lung resistance joins the first
  // junction once the first branch has written it.
  advance_output(10);
  for (const AirwayBranch* b : n.layout) {
    eq_elements_t(*b, wall);
    if (b == n.layout.front()) n.eq[1].coef += k_.Rlungs;
  }

  // Histories from the last solution and row sources, in flow order; each
  // radiation row after the branch that ends at its opening.
  advance_output(Decimator::q_decim);
  U1_wall_ = 0.0;
  const bool rad = cfg.rad_boundary == 1;
  for (AirwayBranch* b : n.layout) {
    force_constants(*b, wall, &U1_wall_);
    if (!rad) continue;
    if (b == &n.lip_branch()) {
      td_linear_equation& row = b->rows[b->last_row() + 1];
      row.src = n.lips.advance(row.val);
    } else if (b == &n.nasal) {
      td_linear_equation& row = b->rows[b->last_row() + 1];
      row.src = n.nostrils.advance(row.val);
    }
  }

  // Solve.
  if (!n.has_nasal())
    solve_single_chain(n.eq.data(), n.n3(), n.n4());
  else
    solve_three_branch(n.eq.data(), n.n3(), n.eqbu.data(), n.nbu4(), n.eqnt.data(), n.nnt4());

  // Radiated pressure: change of the radiated volume velocity over the step.
  U0_lip_ = U1_lip_;
  const AirwayBranch& lips = n.lip_branch();
  U1_lip_ = -lips.rows[lips.last_row()].val;
  double d = U1_lip_ - U0_lip_;
  if (cfg.wall_radiation == 1) {
    d += U1_wall_ - U0_wall_;
    U0_wall_ = U1_wall_;
  }
  if (n.has_nasal()) {
    U0_nos_ = U1_nos_;
    U1_nos_ = -n.eqnt[n.nnt3()].val;
    d += U1_nos_ - U0_nos_;
  }
  last_s_ = static_cast<float>(d * k_.Kr);
  if (defer_ && flag == 1) {  // the sum waits for the next call (vtt_sim_deferred)
    decim_.push(last_s_);
    decim_.terms(dterms_);
    dk_ = 0;
    dacc_ = 0.0f;
    return 0.0f;
  }
  return decim_.decim(flag, last_s_);
}

void Simulator::complete_output(float* target) {
  if (dk_ >= Decimator::q_decim) return;
  dtarget_ = target;
  advance_output(Decimator::q_decim);
}

void Simulator::vtt_sim_deferred() {
  reclaim();
  check_step_inputs();
  // The pending sum (if any) completes during the first step.
  if (dk_ < Decimator::q_decim)
    dtarget_ = &out_prev_;
  else
    out_prev_ = out_now_;
  dax();
  // The steps leave their sum pending; a step that throws (a signal tap out
  // of memory) leaves plain vtt_sim calls undeferred all the same.
  struct Deferring {
    bool& on;
    explicit Deferring(bool& flag) : on(flag) { on = true; }
    ~Deferring() { on = false; }
  } deferring(defer_);
  out_now_ = sample_steps();                      // 0 (pending), as vtt_sim's 0 without a step
  if (k_.deci <= 0) complete_output(&out_prev_);  // no step ran: the sum before is still pending
}

float Simulator::deferred_output() {
  complete_output(&out_now_);
  return out_now_;
}

void Simulator::vtt_term() {
  reclaim();
  complete_output(&out_now_);
  net_.release();
  Dbuf_[0] = {};
  Dbuf_[1] = {};
  section_keys_ = {};
  pending_ = false;
  pivots_in_buffer_ = false;
  running_ = false;
}

}  // namespace vt
