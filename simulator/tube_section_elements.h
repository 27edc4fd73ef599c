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

/// Section i of s[0..count-1] (area cm², length cm): h[i] gets its half
/// section (tube_half_section), e1[i] its air compliance C and, when
/// `yielding`, its wall branch Rw, Lw, Cw, Yw (wall_branch); rigid walls get
/// Yw = 0 and keep Rw, Lw, Cw.
inline void tube_section_elements(const TubeConstants& k, bool yielding, const area_function* s,
                                  int count, HalfSection* h, td_acoustic_elements* e1) {
  int i = 0;
#if defined(__SSE2__)
  const __m128d K = _mm_set1_pd(k.K_viscous), La = _mm_set1_pd(k.La), Ca = _mm_set1_pd(k.Ca);
  const __m128d Rw = _mm_set1_pd(k.wall.Rw), Lw = _mm_set1_pd(k.wall.Lw),
                Cw = _mm_set1_pd(k.wall.Cw), one = _mm_set1_pd(1.0);
  for (; i + 2 <= count; i += 2) {
    // A0 x0 A1 x1 -> A0 A1 (low) and x0 x1 (low).
    const __m128 ax = _mm_loadu_ps(&s[i].A);
    const __m128 a = _mm_shuffle_ps(ax, ax, _MM_SHUFFLE(3, 1, 2, 0));
    const __m128 x = _mm_movehl_ps(a, a);
    const __m128 t = _mm_div_ps(x, a);  // x/A in single precision (low two)
    const __m128d dA = _mm_cvtps_pd(a), dx = _mm_cvtps_pd(x), dt = _mm_cvtps_pd(t);
    const __m128d Rh = _mm_div_pd(_mm_mul_pd(K, dt), dA);
    const __m128d Lh = _mm_mul_pd(La, dt);
    const __m128d C = _mm_mul_pd(_mm_mul_pd(Ca, dA), dx);
    _mm_storel_pd(&h[i].Rh, Rh);
    _mm_storel_pd(&h[i].Lh, Lh);
    _mm_storeh_pd(&h[i + 1].Rh, Rh);
    _mm_storeh_pd(&h[i + 1].Lh, Lh);
    _mm_storel_pd(&e1[i].C, C);
    _mm_storeh_pd(&e1[i + 1].C, C);
    if (yielding) {
      // Wall area sqrt(A)·x rounded to single precision, then each element over it.
      const __m128d w = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_mul_pd(_mm_sqrt_pd(dA), dx)));
      const __m128d r = _mm_div_pd(Rw, w), l = _mm_div_pd(Lw, w), c = _mm_div_pd(Cw, w);
      const __m128d y = _mm_div_pd(one, _mm_add_pd(_mm_add_pd(r, l), c));
      _mm_storel_pd(&e1[i].Rw, r);
      _mm_storel_pd(&e1[i].Lw, l);
      _mm_storel_pd(&e1[i].Cw, c);
      _mm_storel_pd(&e1[i].Yw, y);
      _mm_storeh_pd(&e1[i + 1].Rw, r);
      _mm_storeh_pd(&e1[i + 1].Lw, l);
      _mm_storeh_pd(&e1[i + 1].Cw, c);
      _mm_storeh_pd(&e1[i + 1].Yw, y);
    } else {
      e1[i].Yw = 0.0;
      e1[i + 1].Yw = 0.0;
    }
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
