#include "simulator/area_update.h"

#include "simulator/simulator.h"

namespace vt {

void narrowest_section(const area_function* sections, int count, constriction& found) {
  float m = 100.0f;
  found.A = 100.0f;
  for (int i = 0; i < count; ++i) {
    const float a = sections[i].A;
    if (static_cast<double>(a) > 0.001 && a <= m) {
      m = a;
      found.A = a;
      found.x = sections[i].x;
      found.index = i;
    }
  }
}

void find_constriction(const area_function* af, int nvt0, const area_function* afbu, int nbu0,
                       int nasal_tract, constriction& Ac_pharynx, constriction& Ac_mouth,
                       constriction& Ac) {
  narrowest_section(af, nvt0, Ac_pharynx);
  if (nasal_tract == 1) {
    narrowest_section(afbu, nbu0, Ac_mouth);
    if (Ac_mouth.A <= Ac_pharynx.A) {
      Ac = {3, Ac_mouth.index, Ac_mouth.A, Ac_mouth.x};
      return;
    }
  }
  Ac = {2, Ac_pharynx.index, Ac_pharynx.A, Ac_pharynx.x};
}

void Simulator::copy_initial_af_t() {
  afglt_ = {nonzero_t(Ag), nonzero_t(cfg.xg)};
  for (int i = 0; i < nvt0_; ++i) af_[i] = {nonzero_t(afvt[i].A), nonzero_t(afvt[i].x)};
  if (nasal_ == 1) {
    for (int j = 0; j < nbu0_; ++j)
      afbu_[j] = {nonzero_t(afvt[nvt0_ + j].A), nonzero_t(afvt[nvt0_ + j].x)};
    for (int j = 0; j < nnc_; ++j) afnc_[j] = {nonzero_t(afnt[j].A), nonzero_t(afnt[j].x)};
    for (int j = 0; j < nna0_; ++j)
      afna_[j] = {nonzero_t(afnt[nnc_ + j].A), nonzero_t(afnt[nnc_ + j].x)};
  }
}

namespace {

// Increments of a moving branch; with the dynamic term, each section's volume
// change per step (times smpfrq) becomes its shunt flow source, cm³/s.
void branch_increments(const area_function* target, const area_function* cur, int count, float D,
                       bool dynamic, float smpfrq, area_function* inc,
                       td_acoustic_elements* elements) {
  for (int i = 0; i < count; ++i) {
    inc[i].A = area_increment(target[i].A, cur[i].A, D);
    inc[i].x = area_increment(target[i].x, cur[i].x, D);
    if (dynamic) {
      const float A = cur[i].A, x = cur[i].x, dA = inc[i].A, dx = inc[i].x;
      elements[i + 1].srcU = smpfrq * (dA * x + (A + dA) * dx);
    }
  }
}

// One step along a branch, each sum rounded to single precision and floored.
void branch_step(const area_function* inc, int count, area_function* cur) {
  for (int i = 0; i < count; ++i) {
    cur[i].A = nonzero_t(cur[i].A + inc[i].A);
    cur[i].x = nonzero_t(cur[i].x + inc[i].x);
  }
}

}  // namespace

void Simulator::dax() {
  const float D = static_cast<float>(k_.deci);
  const bool dynamic = cfg.dynamic_term == 1;
  dafglt_.A = area_increment(Ag, afglt_.A, D);
  dafglt_.x = 0.0f;
  if (dynamic) acglt_[1].srcU = cfg.smpfrq * dafglt_.A * afglt_.x;
  if (cfg.vocal_tract != 1) return;

  branch_increments(afvt, af_.data(), nvt0_, D, dynamic, cfg.smpfrq, daf_.data(), ac_.data());
  if (nasal_ != 1) return;

  branch_increments(afvt + nvt0_, afbu_.data(), nbu0_, D, dynamic, cfg.smpfrq, dafbu_.data(),
                    acbu_.data());
  for (int j = 0; j < nnc_; ++j) {
    dafnc_[j].A = area_increment(afnt[j].A, afnc_[j].A, D);
    dafnc_[j].x = 0.0f;
    if (dynamic) acnc_[j + 1].srcU = cfg.smpfrq * dafnc_[j].A * afnc_[j].x;
  }
}

void Simulator::refresh_af() {
  branch_step(daf_.data(), nvt0_, af_.data());
  if (nasal_ == 1) {
    branch_step(dafbu_.data(), nbu0_, afbu_.data());
    branch_step(dafnc_.data(), nnc_, afnc_.data());
  }
  find_constriction();
}

void Simulator::find_constriction() {
  vt::find_constriction(af_.data(), nvt0_, afbu_.data(), nbu0_, nasal_, Ac_pharynx_, Ac_mouth_,
                        Ac_);
}

}  // namespace vt
