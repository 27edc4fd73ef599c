#pragma once
// Two simulators (lanes) of the single chain advanced by one network, every
// double of its state held as a pair [lane 0, lane 1] so that one two-wide
// instruction performs the same operation for both lanes. The pairs are laid
// out record by record like the lanes' own records (elements, rows, pivots),
// filled from the two simulators when they first step together and written
// back into them as soon as either is used otherwise (a call of its own, a
// view of its state, another partner, the end of its run), so that outside
// the pair every simulator holds its own state as if it had run alone.
#include <vector>

namespace vt {

/// One double per lane, aligned for two-wide loads and stores.
struct alignas(16) LanePair {
  double v[2] = {0.0, 0.0};
};

/// A vocal-tract element record (see td_acoustic_elements) for two lanes.
struct PairElements {
  LanePair R, L, srcL, srcP, C, srcC, srcU, Rw, Lw, srcLw, Cw, srcCw, Yw;
};

/// A row of the pharynx system (see td_linear_equation) for two lanes.
struct PairRow {
  LanePair src, coef, val, elimSrc, elimCoef;
};

/// The paired state of two lanes during one output sample: vocal-tract
/// elements 0..nv, rows 0..n4 and the two pivot buffers (D[cur]: pivots of
/// the pending solution).
class Simulator;

struct LanePairBlock {
  Simulator* lanes[2] = {nullptr, nullptr};  ///< the lanes whose state this holds (none: empty)
  std::vector<PairElements> e;
  std::vector<PairRow> r;
  std::vector<LanePair> D[2];
  int cur = 0;
};

}  // namespace vt
