#include "simulator/acoustic_elements.h"

#include <cmath>

#include "simulator/element_laws.h"
#include "simulator/simulator.h"
#include "simulator/tube_section_elements.h"

namespace vt {

namespace {

// Fixed viscous losses of the nasal passages: 0.05 dyn·s/cm⁵ per half section.
void add_extra_loss(int count, td_acoustic_elements* e) {
  e[0].R += 0.05;
  for (int k = 1; k < count; ++k) e[k].R += 0.1;
  e[count].R += 0.05;
}

// Wall branches of the glottis or the nasal tract proper: yielding only with
// `wall` 1; rigid walls get Yw = 0 and keep Rw, Lw, Cw. (Tube chains form
// theirs with their elements, tube_chain.)
void chain_walls(const SimConstants& k, int wall, int count, const area_function* s,
                 td_acoustic_elements* e) {
  if (wall == 1) {
    for (int i = 0; i < count; ++i) law::wall_branch(k.Rw, k.Lw, k.Cw, s[i].A, s[i].x, e[i + 1]);
  } else {
    for (int i = 0; i < count; ++i) e[i + 1].Yw = 0.0;
  }
}

// Series branches (half of each neighbouring section per junction) and air
// compliances of sections[0..count-1]. The glottal slit has a viscous
// resistance over A³ and no inertance. Section `skip` (-1: none) contributes
// no resistance, inertance or compliance.
void series_branch(const SimConstants& k, bool glottis, int count, const area_function* s,
                   td_acoustic_elements* e, int skip) {
  law::HalfSection prev{0.0, 0.0};
  for (int i = 0; i < count; ++i) {
    const float A = s[i].A;
    const float x = s[i].x;
    law::HalfSection h{0.0, 0.0};
    if (glottis)
      h = law::glottal_half_section(k.K_viscous_glotte, A);
    else if (i != skip)
      h = law::tube_half_section(k.K_viscous_const, k.La, A, x);
    e[i].R = prev.Rh + h.Rh;
    e[i].L = prev.Lh + h.Lh;
    e[i + 1].C = i == skip ? 0.0 : law::air_compliance(k.Ca, A, x);
    prev = h;
  }
  e[count].R = prev.Rh;
  e[count].L = prev.Lh;
}

// Elements of a tube chain (vocal tract, nasal coupling, trachea), formed a
// run of sections at a time by the two-wide kernel; the series branches sum
// the half sections on either side of each junction.
void tube_chain(const SimConstants& k, bool yielding, const law::WallConstants& walls, int count,
                const area_function* s, td_acoustic_elements* e) {
  const law::TubeConstants tk{k.K_viscous_const, k.La, k.Ca, walls};
  constexpr int kRun = 16;
  law::HalfSection h[kRun];
  law::HalfSection prev{0.0, 0.0};
  for (int i0 = 0; i0 < count; i0 += kRun) {
    const int m = count - i0 < kRun ? count - i0 : kRun;
    law::tube_section_elements(tk, yielding, s + i0, m, h, e + i0 + 1);
    for (int i = 0; i < m; ++i) {
      e[i0 + i].R = prev.Rh + h[i].Rh;
      e[i0 + i].L = prev.Lh + h[i].Lh;
      prev = h[i];
    }
  }
  e[count].R = prev.Rh;
  e[count].L = prev.Lh;
}

}  // namespace

void acous_elements_t(const SimConstants& k, int wall, int type, int count,
                      const area_function* sections, td_acoustic_elements* elements) {
  if (type == kTubeGlottis) {
    series_branch(k, true, count, sections, elements, -1);
    chain_walls(k, wall, count, sections, elements);
    return;
  }
  if (type == kTubeTrachea)
    tube_chain(k, true, {k.Rt, k.Lt, k.Ct}, count, sections, elements);
  else
    tube_chain(k, wall == 1, {k.Rw, k.Lw, k.Cw}, count, sections, elements);
  if (type == kTubeNasal) add_extra_loss(count, elements);
}

void NTacous_elements_t(const SimConstants& k, const SimConfig& cfg, int count,
                        const area_function* sections, td_acoustic_elements* elements) {
  int s = cfg.sinus_pos - cfg.nnc;
  if (s < 0) s = 0;
  const bool sinus = cfg.sinus_cavity == 1;

  // The sinus attachment (section s-1) carries no tube elements.
  series_branch(k, false, count, sections, elements, sinus ? s - 1 : -1);
  add_extra_loss(count, elements);
  chain_walls(k, cfg.wall, count, sections, elements);

  if (sinus) {
    // Helmholtz resonator: neck resistance and mass, cavity compliance.
    td_acoustic_elements& el = elements[s];
    el.Cw = k.Ca * cfg.sinus_vol;
    el.Lw = k.La * cfg.sinus_len / cfg.sinus_apt;
    el.Rw = k.K_viscous_const * cfg.sinus_len / std::pow(static_cast<double>(cfg.sinus_apt), 1.5);
    el.Yw = 1.0 / (el.Rw + el.Lw + el.Cw);
  }
}

// Elements of the moving vocal-tract branches (main; mouth and nasal coupling
// with the nasal branch) and the lip radiation load from the lip opening.
void Simulator::refresh_acoustic_elements() {
  AirwayNetwork& n = net_;
  acous_elements_t(k_, cfg.wall, kTubeVocal, n.main.sections(), n.main.af.data(), n.main.ac.data());
  if (n.has_nasal()) {
    acous_elements_t(k_, cfg.wall, kTubeVocal, n.mouth.sections(), n.mouth.af.data(),
                     n.mouth.ac.data());
    acous_elements_t(k_, cfg.wall, kTubeNasal, n.coupling.sections(), n.coupling.af.data(),
                     n.coupling.ac.data());
  }
  AirwayBranch& lips = n.lip_branch();
  radiation_load(k_, cfg.rad_boundary, lips.af.back().A, 5.0, n.lips);
  lips.rows[lips.last_row() + 1].coef = n.lips.coef();
}

}  // namespace vt
