// The overlapped single-chain step for two lanes at once, two-wide (SSE2):
// the vocal-tract elements, row coefficients, pivots, histories, row sources,
// source elimination and back substitution of both lanes are formed by the
// same instructions, each lane's half with exactly the operations, in the
// order, of a run alone (division, multiplication, addition, square root and
// the float/double conversions round lane by lane as the scalar ones do). The
// per-lane work (geometry, glottis, flow law, noise, radiation load, output)
// runs lane by lane as in step_lanes, on the paired rows.
#include "simulator/lane_pairs.h"

#include <cstring>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/element_laws.h"
#include "simulator/simulator.h"
#include "simulator/tube_section_elements.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vt {

namespace {

constexpr int kElementFields = 13;
constexpr int kRowFields = 5;
static_assert(sizeof(td_acoustic_elements) == kElementFields * sizeof(double));
static_assert(sizeof(PairElements) == kElementFields * sizeof(LanePair));
static_assert(sizeof(td_linear_equation) == kRowFields * sizeof(double));
static_assert(sizeof(PairRow) == kRowFields * sizeof(LanePair));

// Field f of record `from` into lane l of the paired record `to`, and back.
template <int Fields, class Record, class Paired>
void pair_in(const Record& from, int l, Paired& to) {
  double v[Fields];
  std::memcpy(v, &from, sizeof v);
  LanePair* p = reinterpret_cast<LanePair*>(&to);
  for (int f = 0; f < Fields; ++f) p[f].v[l] = v[f];
}
template <int Fields, class Record, class Paired>
void pair_out(const Paired& from, int l, Record& to) {
  double v[Fields];
  const LanePair* p = reinterpret_cast<const LanePair*>(&from);
  for (int f = 0; f < Fields; ++f) v[f] = p[f].v[l];
  std::memcpy(&to, v, sizeof v);
}

}  // namespace

#if defined(__SSE2__)

bool Simulator::pair_ready(const Simulator& a, const Simulator& b) {
  return lockstep_compatible(a, b) && !a.net_.has_trachea() && !b.net_.has_trachea() &&
         a.cfg.wall == b.cfg.wall && a.pending_ && b.pending_ && a.tap_ == nullptr &&
         b.tap_ == nullptr && a.k_.deci > 0;
}

void Simulator::reclaim() const {
  if (paired_in_ != nullptr) pair_export(*paired_in_);
}

void Simulator::pair_import(Simulator* const* sims, LanePairBlock& blk) {
  const AirwayNetwork& n0 = sims[0]->net_;
  const std::size_t ne = n0.main.ac.size(), nr = n0.eq.size();
  blk.e.resize(ne);
  blk.r.resize(nr);
  blk.D[0].resize(nr);
  blk.D[1].resize(nr);
  blk.cur = 0;
  for (int l = 0; l < 2; ++l) {
    const Simulator& s = *sims[l];
    for (std::size_t k = 0; k < ne; ++k) pair_in<kElementFields>(s.net_.main.ac[k], l, blk.e[k]);
    for (std::size_t i = 0; i < nr; ++i) pair_in<kRowFields>(s.net_.eq[i], l, blk.r[i]);
    const std::vector<double>& Dp = s.Dbuf_[s.dcur_];
    const std::vector<double>& Do = s.Dbuf_[s.dcur_ ^ 1];
    for (std::size_t i = 0; i < nr; ++i) {
      blk.D[0][i].v[l] = Dp[i];
      blk.D[1][i].v[l] = Do[i];
    }
  }
  blk.lanes[0] = sims[0];
  blk.lanes[1] = sims[1];
  sims[0]->paired_in_ = sims[1]->paired_in_ = &blk;
}

void Simulator::pair_export(LanePairBlock& blk) {
  for (int l = 0; l < 2; ++l) {
    Simulator& s = *blk.lanes[l];
    s.paired_in_ = nullptr;
    for (std::size_t k = 0; k < blk.e.size(); ++k)
      pair_out<kElementFields>(blk.e[k], l, s.net_.main.ac[k]);
    for (std::size_t i = 0; i < blk.r.size(); ++i) pair_out<kRowFields>(blk.r[i], l, s.net_.eq[i]);
    std::vector<double>& Dp = s.Dbuf_[s.dcur_];
    std::vector<double>& Do = s.Dbuf_[s.dcur_ ^ 1];
    for (std::size_t i = 0; i < blk.r.size(); ++i) {
      Dp[i] = blk.D[blk.cur][i].v[l];
      Do[i] = blk.D[blk.cur ^ 1][i].v[l];
    }
  }
  blk.lanes[0] = blk.lanes[1] = nullptr;
}

void Simulator::pair_shunt_sources(Simulator* const* sims, LanePairBlock& blk) {
  for (int l = 0; l < 2; ++l) {
    const Simulator& s = *sims[l];
    if (s.cfg.dynamic_term != 1) continue;
    const std::vector<td_acoustic_elements>& ac = s.net_.main.ac;
    for (std::size_t k = 1; k < ac.size(); ++k) blk.e[k].srcU.v[l] = ac[k].srcU;
  }
}

void Simulator::step_pair(Simulator* const* sims, LanePairBlock& blk, int flag, float* out) {
  auto ld = [](const LanePair& p) { return _mm_load_pd(p.v); };
  auto st = [](LanePair& p, __m128d x) { _mm_store_pd(p.v, x); };
  auto pair = [](double lane0, double lane1) { return _mm_set_pd(lane1, lane0); };
  const __m128d two = _mm_set1_pd(2.0);

  Simulator& s0 = *sims[0];
  const int nv = s0.net_.main.sections();
  const int n3 = s0.net_.n3(), n4 = s0.net_.n4(), n2 = s0.net_.n2();
  const bool walls = s0.cfg.wall == 1;
  PairElements* e = blk.e.data();
  PairRow* r = blk.r.data();
  const LanePair* Dp = blk.D[blk.cur].data();
  LanePair* D = blk.D[blk.cur ^ 1].data();

  // The pending back substitution (rows n3-1..1), both lanes' chains in one.
  int b = n3 - 1;
  __m128d v = ld(r[b + 1].val);
  auto back = [&](int rows) {
    for (int k = 0; k < rows && b >= 1; ++k, --b) {
      v = _mm_div_pd(_mm_sub_pd(ld(r[b].elimSrc), _mm_mul_pd(ld(Dp[b - 1]), v)), ld(Dp[b]));
      st(r[b].val, v);
    }
  };

  // Geometry, constriction, glottis, flow law and noise of each lane; the
  // glottal rows and their pivots.
  int over[2];
  double Rc[2];
  for (int l = 0; l < 2; ++l) {
    Simulator& s = *sims[l];
    AirwayNetwork& n = s.net_;
    td_acoustic_elements* g = n.glottis.ac.data();
    back(2);
    area_function& glottis = n.glottis.af[0];
    glottis.A = nonzero_t(glottis.A + n.glottis.daf[0].A);
    s.refresh_af();
    back(4);
    s.glottal_elements_.fill(glottis.A, glottis.x, s.cfg.wall, g, [&] {
      acous_elements_t(s.k_, s.cfg.wall, kTubeGlottis, 1, &glottis, g);
    });
    back(2);
    s.flow_law();
    over[l] = s.Ac_.region == 2 ? s.Ac_.index + 1 : -1;
    Rc[l] = s.Rc_v_ + s.Rc_k_;
    back(4);
    if (s.cfg.noise_source == 1) {
      s.inject_noise();
      // The frication source went into the lane's own element record.
      if (s.fric_m_ >= 0) e[s.fric_m_].srcP.v[l] = n.main.ac[s.fric_m_].srcP;
    }
    double r1 = law::junction_coef(g[0]);
    r1 += s.k_.Rlungs;
    r[1].coef.v[l] = r1;
    D[0].v[l] = n.eq[0].elimCoef;
    D[1].v[l] = r1;
    r[2].coef.v[l] = law::section_coef(g[1], walls);
    r[3].coef.v[l] = law::junction_coef(g[1]);
    D[2].v[l] = D[1].v[l] * r[2].coef.v[l] + D[0].v[l];
  }
  __m128d D2 = ld(D[1]), D1 = ld(D[2]);

  // Vocal-tract elements, coefficients and pivots upwards, beside the pending
  // back substitution downwards.
  const SimConstants &c0 = s0.k_, &c1 = sims[1]->k_;
  const law::TwoTubeConstants k2{pair(c0.K_viscous_const, c1.K_viscous_const),
                                 pair(c0.La, c1.La),
                                 pair(c0.Ca, c1.Ca),
                                 pair(c0.Rw, c1.Rw),
                                 pair(c0.Lw, c1.Lw),
                                 pair(c0.Cw, c1.Cw)};
  const area_function* af0 = s0.net_.main.af.data();
  const area_function* af1 = sims[1]->net_.main.af.data();
  SectionElementKey* keys0 = s0.section_keys_.data();
  SectionElementKey* keys1 = sims[1]->section_keys_.data();
  __m128d prevRh = _mm_setzero_pd(), prevLh = _mm_setzero_pd();
  // Junction q's series resistance R, or the constriction's in a lane whose
  // constriction resistance sits on junction q.
  auto at_constriction = [&](int q, __m128d R) {
    if (q != over[0] && q != over[1]) return R;
    alignas(16) double rr[2];
    _mm_store_pd(rr, R);
    for (int l = 0; l < 2; ++l)
      if (q == over[l]) rr[l] = Rc[l];
    return _mm_load_pd(rr);
  };
  for (int q = 0; q < nv; ++q) {
    back(2);
    const float A0 = af0[q].A, x0 = af0[q].x, A1 = af1[q].A, x1 = af1[q].x;
    SectionElementKey& k0 = keys0[q];
    SectionElementKey& k1 = keys1[q];
    const std::uint32_t A0b = floatBits(A0), x0b = floatBits(x0);
    const std::uint32_t A1b = floatBits(A1), x1b = floatBits(x1);
    PairElements& eq1 = e[q + 1];
    __m128d Rh, Lh, C, Y;
    if (k0.valid && k0.A == A0b && k0.x == x0b && k0.walls == walls && k1.valid && k1.A == A1b &&
        k1.x == x1b && k1.walls == walls) {
      // Both sections kept their bits: their elements stand.
      Rh = pair(k0.Rh, k1.Rh);
      Lh = pair(k0.Lh, k1.Lh);
      C = ld(eq1.C);
      Y = walls ? ld(eq1.Yw) : _mm_setzero_pd();
    } else {
      // tube_half_section, air_compliance and wall_branch for both lanes.
      const law::TwoTubeElements t = law::two_tube_elements(
          k2, walls, _mm_set_ps(0.0f, 0.0f, A1, A0), _mm_set_ps(0.0f, 0.0f, x1, x0));
      Rh = t.Rh;
      Lh = t.Lh;
      C = t.C;
      Y = t.Yw;
      st(eq1.C, C);
      if (walls) {
        st(eq1.Rw, t.Rw);
        st(eq1.Lw, t.Lw);
        st(eq1.Cw, t.Cw);
      }
      st(eq1.Yw, Y);
      alignas(16) double rh[2], lh[2];
      _mm_store_pd(rh, Rh);
      _mm_store_pd(lh, Lh);
      k0 = {A0b, x0b, walls, true, rh[0], lh[0]};
      k1 = {A1b, x1b, walls, true, rh[1], lh[1]};
    }
    const __m128d R = at_constriction(q, _mm_add_pd(prevRh, Rh));
    const __m128d Ls = _mm_add_pd(prevLh, Lh);
    st(e[q].R, R);
    st(e[q].L, Ls);
    prevRh = Rh;
    prevLh = Lh;
    const int j = 3 + 2 * q;  // junction q; section q is row j + 1
    __m128d cj = _mm_add_pd(R, Ls);
    if (q == 0) cj = _mm_add_pd(ld(r[j].coef), cj);
    const __m128d cs = walls ? _mm_add_pd(C, Y) : C;
    st(r[j].coef, cj);
    st(r[j + 1].coef, cs);
    const __m128d dj = _mm_add_pd(_mm_mul_pd(D1, cj), D2);
    const __m128d dj1 = _mm_add_pd(_mm_mul_pd(dj, cs), D1);
    st(D[j], dj);
    st(D[j + 1], dj1);
    D2 = dj;
    D1 = dj1;
  }
  {
    const __m128d R = at_constriction(nv, prevRh);
    st(e[nv].R, R);
    st(e[nv].L, prevLh);
    const __m128d c3 = _mm_add_pd(R, prevLh);
    st(r[n3].coef, c3);
    st(D[n3], _mm_add_pd(_mm_mul_pd(ld(D[n2]), c3), ld(D[n2 - 1])));
    for (int l = 0; l < 2; ++l) {
      Simulator& s = *sims[l];
      radiation_load(s.k_, s.cfg.rad_boundary, s.net_.main.af[nv - 1].A, 5.0, s.net_.lips);
      r[n4].coef.v[l] = s.net_.lips.coef();
    }
    st(D[n4], _mm_add_pd(_mm_mul_pd(ld(D[n3]), ld(r[n4].coef)), ld(D[n2])));
    back(n3);
  }

  // Histories of the glottis from the completed previous solution (lane by
  // lane), then both lanes' vocal-tract histories, row sources and source
  // elimination upwards.
  for (int l = 0; l < 2; ++l) {
    Simulator& s = *sims[l];
    td_acoustic_elements* g = s.net_.glottis.ac.data();
    g[0].srcL = law::trapezoid(g[0].L, r[1].val.v[l], g[0].srcL);
    const double P = r[2].val.v[l];
    g[1].srcC = law::trapezoid(g[1].C, P, g[1].srcC);
    if (walls) law::wall_history(g[1], P);
    g[1].srcL = law::trapezoid(g[1].L, r[3].val.v[l], g[1].srcL);
    r[1].src.v[l] = law::junction_src(g[0]);
    r[2].src.v[l] = law::section_src(g[1], walls);
    r[3].src.v[l] = law::junction_src(g[1]);
  }
  const __m128d e0L =
      _mm_sub_pd(_mm_mul_pd(_mm_mul_pd(two, ld(e[0].L)), ld(r[3].val)), ld(e[0].srcL));
  st(e[0].srcL, e0L);
  st(r[3].src, _mm_add_pd(ld(r[3].src), _mm_add_pd(e0L, ld(e[0].srcP))));
  __m128d elim = _mm_add_pd(ld(r[0].elimSrc), ld(r[1].src));
  st(r[1].elimSrc, elim);
  for (int i = 2; i <= 3; ++i) {
    elim = _mm_add_pd(_mm_mul_pd(ld(D[i - 1]), ld(r[i].src)), elim);
    st(r[i].elimSrc, elim);
  }
  __m128d U1_wall = _mm_setzero_pd();
  for (int k = 1; k <= nv; ++k) {
    const int sr = 2 * k + 2;  // section k-1; its outlet junction is sr + 1
    PairElements& el = e[k];
    const __m128d P = ld(r[sr].val);
    const __m128d U = ld(r[sr + 1].val);
    const __m128d srcC = _mm_sub_pd(_mm_mul_pd(_mm_mul_pd(two, ld(el.C)), P), ld(el.srcC));
    st(el.srcC, srcC);
    __m128d ss = _mm_add_pd(srcC, ld(el.srcU));
    if (walls) {
      const __m128d Yw = ld(el.Yw);
      __m128d srcLw = ld(el.srcLw), srcCw = ld(el.srcCw);
      const __m128d w = _mm_mul_pd(_mm_sub_pd(_mm_add_pd(P, srcLw), srcCw), Yw);
      srcLw = _mm_sub_pd(_mm_mul_pd(_mm_mul_pd(two, ld(el.Lw)), w), srcLw);
      srcCw = _mm_add_pd(srcCw, _mm_mul_pd(_mm_mul_pd(two, ld(el.Cw)), w));
      st(el.srcLw, srcLw);
      st(el.srcCw, srcCw);
      U1_wall = _mm_add_pd(U1_wall, w);
      ss = _mm_add_pd(ss, _mm_mul_pd(_mm_sub_pd(srcCw, srcLw), Yw));
    }
    const __m128d srcL = _mm_sub_pd(_mm_mul_pd(_mm_mul_pd(two, ld(el.L)), U), ld(el.srcL));
    st(el.srcL, srcL);
    const __m128d sj = _mm_add_pd(srcL, ld(el.srcP));
    st(r[sr].src, ss);
    st(r[sr + 1].src, sj);
    const __m128d es = _mm_add_pd(_mm_mul_pd(ld(D[sr - 1]), ss), elim);
    const __m128d ej = _mm_add_pd(_mm_mul_pd(ld(D[sr]), sj), es);
    st(r[sr].elimSrc, es);
    st(r[sr + 1].elimSrc, ej);
    elim = ej;
  }

  // Radiation row and lip junction now; the rest of the back substitution
  // waits for the next step. Radiated pressure into each lane's output filter.
  alignas(16) double wall[2];
  _mm_store_pd(wall, U1_wall);
  for (int l = 0; l < 2; ++l) {
    Simulator& s = *sims[l];
    s.U1_wall_ = wall[l];
    if (s.cfg.rad_boundary == 1) r[n4].src.v[l] = s.net_.lips.advance(r[n4].val.v[l]);
  }
  const __m128d e4 = _mm_add_pd(_mm_mul_pd(ld(D[n3]), ld(r[n4].src)), ld(r[n3].elimSrc));
  st(r[n4].elimSrc, e4);
  const __m128d v4 = _mm_div_pd(e4, ld(D[n4]));
  st(r[n4].val, v4);
  st(r[n3].val, _mm_div_pd(_mm_sub_pd(ld(r[n3].elimSrc), _mm_mul_pd(ld(D[n2]), v4)), ld(D[n3])));
  blk.cur ^= 1;
  for (int l = 0; l < 2; ++l) {
    Simulator& s = *sims[l];
    s.dcur_ ^= 1;
    s.pending_ = true;
    s.pivots_in_buffer_ = true;
    s.radiate_single_chain(r[n3].val.v[l]);
  }

  if (flag != 1) {
    out[0] = out[1] = 0.0f;
    return;
  }
  double t[2][Decimator::q_decim];
  sims[0]->decim_.terms(t[0]);
  sims[1]->decim_.terms(t[1]);
  float acc0 = 0.0f, acc1 = 0.0f;
  for (int k = 0; k < Decimator::q_decim; ++k) {
    acc0 = static_cast<float>(acc0 + t[0][k]);
    acc1 = static_cast<float>(acc1 + t[1][k]);
  }
  out[0] = acc0;
  out[1] = acc1;
}

#else

void Simulator::reclaim() const {}

#endif  // __SSE2__

}  // namespace vt
