#include "simulator/airway_network.h"

namespace vt {

void AirwayNetwork::build(const SimConfig& cfg, int nnt) {
  release();
  const bool with_trachea = cfg.subGLTsystem == 1;
  const bool with_nasal = cfg.nasal_tract == 1;
  const int ntr = with_trachea ? cfg.ntr : 0;
  const int nvt0 = with_nasal ? cfg.nbp : cfg.nvt;

  // Pharynx system: lung row 0, two rows per section of trachea, glottis and
  // main branch, their junction rows, and the closing row.
  eq.assign(2 * (ntr + 1 + nvt0) + 3, td_linear_equation{});
  if (with_trachea) {
    trachea.allocate(ntr, false, eq.data(), 1);
    layout.push_back(&trachea);
  }
  glottis.allocate(1, true, eq.data(), 1 + 2 * ntr);
  layout.push_back(&glottis);
  main.allocate(nvt0, true, eq.data(), glottis.last_row());
  layout.push_back(&main);

  if (with_nasal) {
    // Mouth and nasal systems: velum row 0, the chains, radiation row, seed row.
    const int nbu0 = cfg.nvt - cfg.nbp;
    eqbu.assign(2 * nbu0 + 4, td_linear_equation{});
    mouth.allocate(nbu0, true, eqbu.data(), 1);
    layout.push_back(&mouth);
    eqnt.assign(2 * nnt + 4, td_linear_equation{});
    coupling.allocate(cfg.nnc, true, eqnt.data(), 1);
    layout.push_back(&coupling);
    nasal.allocate(nnt - cfg.nnc, false, eqnt.data(), coupling.last_row());
    layout.push_back(&nasal);
  }
}

SimLayout AirwayNetwork::counts() const {
  SimLayout L;
  if (eq.empty()) return L;
  L.nasal_tract = has_nasal() ? 1 : 0;
  L.subGLTsystem = has_trachea() ? 1 : 0;
  L.ntr = trachea.sections();
  L.ntr1 = L.subGLTsystem ? L.ntr + 1 : 0;
  L.nvt0 = main.sections();
  L.nvt1 = L.nvt0 + 1;
  L.n0 = L.ntr + 1 + L.nvt0;
  L.n2 = n2(), L.n3 = n3(), L.n4 = n4(), L.n5 = static_cast<int>(eq.size());
  if (L.nasal_tract) {
    L.nbu0 = mouth.sections(), L.nbu1 = L.nbu0 + 1;
    L.nbu3 = nbu3(), L.nbu4 = nbu4(), L.nbu5 = L.nbu4 + 1, L.nbu6 = static_cast<int>(eqbu.size());
    L.nnc = coupling.sections(), L.nnc1 = L.nnc + 1;
    L.nna0 = nasal.sections(), L.nna1 = L.nna0 + 1;
    L.nnt = L.nnc + L.nna0;
    L.nnt3 = nnt3(), L.nnt4 = nnt4(), L.nnt5 = L.nnt4 + 1, L.nnt6 = static_cast<int>(eqnt.size());
  }
  return L;
}

void AirwayNetwork::release() {
  for (AirwayBranch* b : {&trachea, &glottis, &main, &mouth, &coupling, &nasal}) b->release();
  layout.clear();
  eq = {};
  eqbu = {};
  eqnt = {};
}

}  // namespace vt
