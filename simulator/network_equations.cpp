#include "simulator/network_equations.h"

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
    rows[p].coef = e[0].R + e[0].L;
  else
    rows[p].coef += e[0].R + e[0].L;
  const bool walls = wall == 1 || tubeKind == 0;
  for (int k = 1; k <= count; ++k) {
    rows[p + 1].coef = walls ? e[k].C + e[k].Yw : e[k].C;
    rows[p + 2].coef = e[k].R + e[k].L;
    p += 2;
  }
  *position = p;
}

void force_constants(int tubeKind, int* position, int count, td_acoustic_elements* e,
                     td_linear_equation* rows, int wall, double* U1_wall) {
  const int p0 = *position;
  const bool walls = wall == 1 || tubeKind == 0;
  int p = p0;
  e[0].srcL = 2 * e[0].L * rows[p].val - e[0].srcL;
  for (int k = 1; k <= count; ++k) {
    const double P = rows[p + 1].val;
    const double U = rows[p + 2].val;
    td_acoustic_elements& el = e[k];
    el.srcC = 2 * el.C * P - el.srcC;
    if (walls) {
      const double w = (P + el.srcLw - el.srcCw) * el.Yw;
      el.srcLw = 2 * el.Lw * w - el.srcLw;
      el.srcCw = el.srcCw + 2 * el.Cw * w;
      if (tubeKind == 5) *U1_wall += w;
    }
    el.srcL = 2 * el.L * U - el.srcL;
    p += 2;
  }

  p = p0;
  if (p == 1)
    rows[p].src = e[0].srcL + e[0].srcP;
  else
    rows[p].src += e[0].srcL + e[0].srcP;
  for (int k = 1; k <= count; ++k) {
    const td_acoustic_elements& el = e[k];
    rows[p + 1].src = walls ? el.srcC + el.srcU + (el.srcCw - el.srcLw) * el.Yw
                            : el.srcC + el.srcU;
    rows[p + 2].src = el.srcL + el.srcP;
    p += 2;
  }
  *position = p;
}

}  // namespace vt
