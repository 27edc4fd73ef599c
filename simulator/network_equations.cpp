#include "simulator/network_equations.h"

#include "simulator/acoustic_elements.h"
#include "simulator/element_laws.h"

namespace vt {

void clear_sources(int count, td_acoustic_elements* elements) {
  for (int i = 0; i < count; ++i) {
    td_acoustic_elements& e = elements[i];
    e.srcL = 0.0;
    e.srcP = 0.0;
    e.srcC = 0.0;
    e.srcU = 0.0;
    e.srcLw = 0.0;
    e.srcCw = 0.0;
  }
}

void clear_PU(int count, td_linear_equation* rows) {
  for (int i = 0; i < count; ++i) rows[i].val = 0.0;
}

void eq_elements_t(int tubeKind, int* position, int count, const td_acoustic_elements* e,
                   td_linear_equation* rows, int wall) {
  int p = *position;
  if (p == 1)
    rows[p].coef = law::junction_coef(e[0]);
  else
    rows[p].coef += law::junction_coef(e[0]);
  const bool walls = wall == 1 || tubeKind == kTubeTrachea;
  for (int k = 1; k <= count; ++k) {
    rows[p + 1].coef = law::section_coef(e[k], walls);
    rows[p + 2].coef = law::junction_coef(e[k]);
    p += 2;
  }
  *position = p;
}

void force_constants(int tubeKind, int* position, int count, td_acoustic_elements* e,
                     td_linear_equation* rows, int wall, double* U1_wall) {
  const int p0 = *position;
  const bool walls = wall == 1 || tubeKind == kTubeTrachea;
  // Histories of the inertances, compliances and walls from the last solution.
  int p = p0;
  e[0].srcL = law::trapezoid(e[0].L, rows[p].val, e[0].srcL);
  for (int k = 1; k <= count; ++k) {
    const double P = rows[p + 1].val;  // section pressure, dyn/cm²
    const double U = rows[p + 2].val;  // outlet volume velocity, cm³/s
    td_acoustic_elements& el = e[k];
    el.srcC = law::trapezoid(el.C, P, el.srcC);
    if (walls) {
      const double w = law::wall_history(el, P);
      if (tubeKind == kTubeVocal) *U1_wall += w;
    }
    el.srcL = law::trapezoid(el.L, U, el.srcL);
    p += 2;
  }

  // Row sources.
  p = p0;
  if (p == 1)
    rows[p].src = law::junction_src(e[0]);
  else
    rows[p].src += law::junction_src(e[0]);
  for (int k = 1; k <= count; ++k) {
    rows[p + 1].src = law::section_src(e[k], walls);
    rows[p + 2].src = law::junction_src(e[k]);
    p += 2;
  }
  *position = p;
}

void eq_elements_t(const AirwayBranch& b, int wall) {
  int p = b.first_row;
  eq_elements_t(b.tube, &p, b.sections(), b.ac.data(), b.rows, wall);
}

void force_constants(AirwayBranch& b, int wall, double* U1_wall) {
  int p = b.first_row;
  force_constants(b.tube, &p, b.sections(), b.ac.data(), b.rows, wall, U1_wall);
}

}  // namespace vt
