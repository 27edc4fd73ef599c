#pragma once
// Elements of a run of cylindrical tube sections: the two half sections'
// viscous resistance and inertance, the air compliance and the yielding wall
// of every section, two sections per instruction where the processor has
// two-wide double arithmetic. Each value is formed by the IEEE operations of
// the scalar laws in element_laws.h in the same order (division,
// multiplication, addition, square root and the float/double conversions are
// correctly rounded lane by lane), so the values are the same bit for bit.
// The divisions dominate the cost of a moving tract's elements; two-wide
// divisions give about twice the quotients per cycle of scalar ones.
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "records/area_function.h"
#include "simulator/element_laws.h"
#include "simulator/td_acoustic_elements.h"

namespace vt::law {

/// Per-wall-area constants of a yielding wall (see wall_branch).
struct WallConstants {
  double Rw;  ///< wall resistance times wall area
  double Lw;  ///< wall mass impedance times wall area
  double Cw;  ///< wall stiffness impedance times wall area
};

/// Constants of the tube sections' elements.
struct TubeConstants {
  double K_viscous;    ///< viscous loss constant of tube_half_section
  double La;           ///< inertance constant of tube_half_section
  double Ca;           ///< compliance constant of air_compliance
  WallConstants wall;  ///< used where the walls yield
};

#if defined(__SSE2__)
/// Constants of TubeConstants, one per half of a two-wide register (two
/// sections of one chain, or the same section of two simulators).
struct TwoTubeConstants {
  __m128d K_viscous, La, Ca, Rw, Lw, Cw;
};

/// Elements of two tube sections at once, each half in the operations of the
/// scalar laws.
struct TwoTubeElements {
  __m128d Rh, Lh;      ///< half sections (tube_half_section)
  __m128d C;           ///< air compliances (air_compliance)
  __m128d Rw, Lw, Cw;  ///< wall elements (wall_branch); unset for rigid walls
  __m128d Yw;          ///< wall admittances; 0 for rigid walls
};

/// The elements of two sections whose areas A (cm²) and lengths x (cm) are
/// the low two floats of A and x; with `yielding`, their wall branches.
inline TwoTubeElements two_tube_elements(const TwoTubeConstants& k, bool yielding, __m128 A,
                                         __m128 x) {
  TwoTubeElements e;
  const __m128 t = _mm_div_ps(x, A);  // x/A in single precision (low two)
  const __m128d dA = _mm_cvtps_pd(A), dx = _mm_cvtps_pd(x), dt = _mm_cvtps_pd(t);
  e.Rh = _mm_div_pd(_mm_mul_pd(k.K_viscous, dt), dA);
  e.Lh = _mm_mul_pd(k.La, dt);
  e.C = _mm_mul_pd(_mm_mul_pd(k.Ca, dA), dx);
  if (yielding) {
    // Wall area sqrt(A)·x rounded to single precision, then each element over it.
    const __m128d w = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_mul_pd(_mm_sqrt_pd(dA), dx)));
    e.Rw = _mm_div_pd(k.Rw, w);
    e.Lw = _mm_div_pd(k.Lw, w);
    e.Cw = _mm_div_pd(k.Cw, w);
    e.Yw = _mm_div_pd(_mm_set1_pd(1.0), _mm_add_pd(_mm_add_pd(e.Rw, e.Lw), e.Cw));
  } else {
    e.Rw = e.Lw = e.Cw = e.Yw = _mm_setzero_pd();
  }
  return e;
}
#endif

/// Section i of s[0..count-1] (area cm², length cm): h[i] gets its half
/// section (tube_half_section), e1[i] its air compliance C and, when
/// `yielding`, its wall branch Rw, Lw, Cw, Yw (wall_branch); rigid walls get
/// Yw = 0 and keep Rw, Lw, Cw.
inline void tube_section_elements(const TubeConstants& k, bool yielding, const area_function* s,
                                  int count, HalfSection* h, td_acoustic_elements* e1) {
  int i = 0;
#if defined(__SSE2__)
  const TwoTubeConstants k2{_mm_set1_pd(k.K_viscous), _mm_set1_pd(k.La),
                            _mm_set1_pd(k.Ca),        _mm_set1_pd(k.wall.Rw),
                            _mm_set1_pd(k.wall.Lw),   _mm_set1_pd(k.wall.Cw)};
  for (; i + 2 <= count; i += 2) {
    // A0 x0 A1 x1 -> A0 A1 (low) and x0 x1 (low).
    const __m128 ax = _mm_loadu_ps(&s[i].A);
    const __m128 a = _mm_shuffle_ps(ax, ax, _MM_SHUFFLE(3, 1, 2, 0));
    const TwoTubeElements t = two_tube_elements(k2, yielding, a, _mm_movehl_ps(a, a));
    _mm_storel_pd(&h[i].Rh, t.Rh);
    _mm_storel_pd(&h[i].Lh, t.Lh);
    _mm_storeh_pd(&h[i + 1].Rh, t.Rh);
    _mm_storeh_pd(&h[i + 1].Lh, t.Lh);
    _mm_storel_pd(&e1[i].C, t.C);
    _mm_storeh_pd(&e1[i + 1].C, t.C);
    if (yielding) {
      _mm_storel_pd(&e1[i].Rw, t.Rw);
      _mm_storel_pd(&e1[i].Lw, t.Lw);
      _mm_storel_pd(&e1[i].Cw, t.Cw);
      _mm_storeh_pd(&e1[i + 1].Rw, t.Rw);
      _mm_storeh_pd(&e1[i + 1].Lw, t.Lw);
      _mm_storeh_pd(&e1[i + 1].Cw, t.Cw);
    }
    _mm_storel_pd(&e1[i].Yw, t.Yw);
    _mm_storeh_pd(&e1[i + 1].Yw, t.Yw);
  }
#endif
  for (; i < count; ++i) {
    const float A = s[i].A, x = s[i].x;
    h[i] = tube_half_section(k.K_viscous, k.La, A, x);
    e1[i].C = air_compliance(k.Ca, A, x);
    if (yielding)
      wall_branch(k.wall.Rw, k.wall.Lw, k.wall.Cw, A, x, e1[i]);
    else
      e1[i].Yw = 0.0;
  }
}

}  // namespace vt::law
