#include "simulator/area_update.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

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

// First geometry: every target through the floor; the nasal tract proper
// keeps it for the whole run.
void Simulator::copy_initial_af_t() {
  AirwayNetwork& n = net_;
  n.glottis.af[0] = {nonzero_t(Ag), nonzero_t(cfg.xg)};
  auto copy = [](const area_function* target, AirwayBranch& b) {
    for (int i = 0; i < b.sections(); ++i)
      b.af[i] = {nonzero_t(target[i].A), nonzero_t(target[i].x)};
  };
  copy(afvt, n.main);
  if (n.has_nasal()) {
    copy(afvt + n.main.sections(), n.mouth);
    copy(afnt, n.coupling);
    copy(afnt + n.coupling.sections(), n.nasal);
  }
}

namespace {

// Increments of a moving branch; with the dynamic term, each section's volume
// change per step (times smpfrq) becomes its shunt flow source, cm³/s. The
// increments run two sections (four floats) per instruction, the floor of
// nonzero_t as max(v, 0.001f) (see branch_step).
void branch_increments(const area_function* target, const area_function* cur, int count, float D,
                       bool dynamic, float smpfrq, area_function* inc,
                       td_acoustic_elements* elements) {
  int i = 0;
#if defined(__SSE2__)
  const __m128 floor = _mm_set1_ps(0.001f);
  const __m128 steps = _mm_set1_ps(D);
  for (; i + 2 <= count; i += 2) {
    const __m128 t = _mm_max_ps(_mm_loadu_ps(&target[i].A), floor);
    _mm_storeu_ps(&inc[i].A, _mm_div_ps(_mm_sub_ps(t, _mm_loadu_ps(&cur[i].A)), steps));
  }
#endif
  for (; i < count; ++i) {
    inc[i].A = area_increment(target[i].A, cur[i].A, D);
    inc[i].x = area_increment(target[i].x, cur[i].x, D);
  }
  if (!dynamic) return;
  for (i = 0; i < count; ++i) {
    const float A = cur[i].A, x = cur[i].x, dA = inc[i].A, dx = inc[i].x;
    elements[i + 1].srcU = smpfrq * (dA * x + (A + dA) * dx);
  }
}

// One step along a branch, each sum rounded to single precision and floored.
// The sums are independent and run two sections (four floats) per
// instruction: for a float sum v, nonzero_t(v) is v >= 0.001f ? v : 0.001f,
// which is max(v, 0.001f) as the processor forms it (0.001f also for NaN).
void branch_step(const area_function* inc, int count, area_function* cur) {
  static_assert(sizeof(area_function) == 2 * sizeof(float), "sections are packed (A, x) pairs");
  int i = 0;
#if defined(__SSE2__)
  const __m128 floor = _mm_set1_ps(0.001f);
  for (; i + 2 <= count; i += 2) {
    float* c = &cur[i].A;
    const __m128 v = _mm_add_ps(_mm_loadu_ps(c), _mm_loadu_ps(&inc[i].A));
    _mm_storeu_ps(c, _mm_max_ps(v, floor));
  }
#endif
  for (; i < count; ++i) {
    cur[i].A = nonzero_t(cur[i].A + inc[i].A);
    cur[i].x = nonzero_t(cur[i].x + inc[i].x);
  }
}

// branch_step and the result of narrowest_section. Every floored sum is at
// least 0.001f, above the 0.001 cm² of the search, so the narrowest section is
// the last of the minimal areas not above 100 cm² (nothing found: found.A is
// 100 and the rest is kept).
void branch_step_narrowest(const area_function* inc, int count, area_function* cur,
                           constriction& found) {
  branch_step(inc, count, cur);
  float m = 100.0f;
  for (int j = 0; j < count; ++j) m = cur[j].A < m ? cur[j].A : m;
  found.A = m;
  for (int j = count - 1; j >= 0; --j)
    if (cur[j].A == m) {
      found.x = cur[j].x;
      found.index = j;
      return;
    }
}

}  // namespace

// Increments that move the geometry to the new targets in deci equal steps.
void Simulator::dax() {
  AirwayNetwork& n = net_;
  const float D = static_cast<float>(k_.deci);
  const bool dynamic = cfg.dynamic_term == 1;
  area_function& glottis = n.glottis.af[0];
  area_function& dglottis = n.glottis.daf[0];
  dglottis.A = area_increment(Ag, glottis.A, D);
  dglottis.x = 0.0f;
  if (dynamic) n.glottis.ac[1].srcU = cfg.smpfrq * dglottis.A * glottis.x;
  if (cfg.vocal_tract != 1) return;

  AirwayBranch& m = n.main;
  branch_increments(afvt, m.af.data(), m.sections(), D, dynamic, cfg.smpfrq, m.daf.data(),
                    m.ac.data());
  if (!n.has_nasal()) return;

  AirwayBranch& bu = n.mouth;
  branch_increments(afvt + m.sections(), bu.af.data(), bu.sections(), D, dynamic, cfg.smpfrq,
                    bu.daf.data(), bu.ac.data());
  // The coupling sections change their area only.
  AirwayBranch& nc = n.coupling;
  for (int j = 0; j < nc.sections(); ++j) {
    nc.daf[j].A = area_increment(afnt[j].A, nc.af[j].A, D);
    nc.daf[j].x = 0.0f;
    if (dynamic) nc.ac[j + 1].srcU = cfg.smpfrq * nc.daf[j].A * nc.af[j].x;
  }
}

// One step of the moving vocal-tract branches, then the constriction search
// (in the same pass over the sections when the main branch is the only one).
void Simulator::refresh_af() {
  AirwayNetwork& n = net_;
  if (!n.has_nasal()) {
    branch_step_narrowest(n.main.daf.data(), n.main.sections(), n.main.af.data(), Ac_pharynx_);
    Ac_ = {2, Ac_pharynx_.index, Ac_pharynx_.A, Ac_pharynx_.x};
    return;
  }
  branch_step(n.main.daf.data(), n.main.sections(), n.main.af.data());
  branch_step(n.mouth.daf.data(), n.mouth.sections(), n.mouth.af.data());
  branch_step(n.coupling.daf.data(), n.coupling.sections(), n.coupling.af.data());
  find_constriction();
}

void Simulator::find_constriction() {
  const AirwayNetwork& n = net_;
  vt::find_constriction(n.main.af.data(), n.main.sections(), n.mouth.af.data(), n.mouth.sections(),
                        n.has_nasal() ? 1 : 0, Ac_pharynx_, Ac_mouth_, Ac_);
}

}  // namespace vt
