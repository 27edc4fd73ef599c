#include "simulator/acoustic_elements.h"

#include <cmath>

#include "simulator/simulator.h"

namespace vt {

namespace {

// Fixed viscous losses of the nasal passages: 0.05 per half section.
void add_extra_loss(int count, td_acoustic_elements* e) {
  e[0].R += 0.05;
  for (int k = 1; k < count; ++k) e[k].R += 0.1;
  e[count].R += 0.05;
}

// Wall branch of sections[0..count-1] with the given per-sqrt(A)·x constants.
void wall_branch(double Rw, double Lw, double Cw, int count, const area_function* s,
                 td_acoustic_elements* e) {
  for (int i = 0; i < count; ++i) {
    const float w = static_cast<float>(std::sqrt(static_cast<double>(s[i].A)) * s[i].x);
    td_acoustic_elements& el = e[i + 1];
    el.Rw = Rw / w;
    el.Lw = Lw / w;
    el.Cw = Cw / w;
    el.Yw = 1.0 / (el.Rw + el.Lw + el.Cw);
  }
}

// Wall branches of a chain: the trachea's always yield (trachea constants),
// the others only with `wall` 1; rigid walls get Yw = 0 and keep Rw, Lw, Cw.
void chain_walls(const SimConstants& k, int wall, int type, int count, const area_function* s,
                 td_acoustic_elements* e) {
  if (type == kTubeTrachea) {
    wall_branch(k.Rt, k.Lt, k.Ct, count, s, e);
  } else if (wall == 1) {
    wall_branch(k.Rw, k.Lw, k.Cw, count, s, e);
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
  double Rp = 0.0, Lp = 0.0;
  for (int i = 0; i < count; ++i) {
    const float A = s[i].A;
    const float x = s[i].x;
    double Rh = 0.0, Lh = 0.0;
    if (glottis) {
      Rh = k.K_viscous_glotte / std::pow(static_cast<double>(A), 3.0);
    } else if (i != skip) {
      const float t = x / A;
      Rh = k.K_viscous_const * t / A;
      Lh = k.La * t;
    }
    e[i].R = Rp + Rh;
    e[i].L = Lp + Lh;
    e[i + 1].C = i == skip ? 0.0 : k.Ca * A * x;
    Rp = Rh;
    Lp = Lh;
  }
  e[count].R = Rp;
  e[count].L = Lp;
}

}  // namespace

void acous_elements_t(const SimConstants& k, int wall, int type, int count,
                      const area_function* sections, td_acoustic_elements* elements) {
  series_branch(k, type == kTubeGlottis, count, sections, elements, -1);
  if (type == kTubeNasal) add_extra_loss(count, elements);
  chain_walls(k, wall, type, count, sections, elements);
}

void NTacous_elements_t(const SimConstants& k, const SimConfig& cfg, int count,
                        const area_function* sections, td_acoustic_elements* elements) {
  int s = cfg.sinus_pos - cfg.nnc;
  if (s < 0) s = 0;
  const bool sinus = cfg.sinus_cavity == 1;

  // The sinus attachment (section s-1) carries no tube elements.
  series_branch(k, false, count, sections, elements, sinus ? s - 1 : -1);
  add_extra_loss(count, elements);
  chain_walls(k, cfg.wall, kTubeNasal, count, sections, elements);

  if (sinus) {
    // Helmholtz resonator: neck resistance and mass, cavity compliance.
    td_acoustic_elements& el = elements[s];
    el.Cw = k.Ca * cfg.sinus_vol;
    el.Lw = k.La * cfg.sinus_len / cfg.sinus_apt;
    el.Rw = k.K_viscous_const * cfg.sinus_len / std::pow(static_cast<double>(cfg.sinus_apt), 1.5);
    el.Yw = 1.0 / (el.Rw + el.Lw + el.Cw);
  }
}

void radiation_load(const SimConstants& k, int rad_boundary, float A, double fixed_G,
                    double* G, double* Lrad) {
  if (rad_boundary == 1) {
    *G = k.Grad * A;
    *Lrad = k.Srad * std::sqrt(static_cast<double>(A));
  } else {
    *G = fixed_G;
    *Lrad = 0.0;
  }
}

void Simulator::refresh_acoustic_elements() {
  acous_elements_t(k_, cfg.wall, kTubeVocal, nvt0_, af_.data(), ac_.data());
  if (nasal_ == 1) {
    acous_elements_t(k_, cfg.wall, kTubeVocal, nbu0_, afbu_.data(), acbu_.data());
    acous_elements_t(k_, cfg.wall, kTubeNasal, nnc_, afnc_.data(), acnc_.data());
    radiation_load(k_, cfg.rad_boundary, afbu_[nbu0_ - 1].A, 5.0, &Grad_lip_, &Lrad_lip_);
    eqbu_[nbu4_].coef = Grad_lip_ + Lrad_lip_;
  } else {
    radiation_load(k_, cfg.rad_boundary, af_[nvt0_ - 1].A, 5.0, &Grad_lip_, &Lrad_lip_);
    eq_[n4_].coef = Grad_lip_ + Lrad_lip_;
  }
}

}  // namespace vt
