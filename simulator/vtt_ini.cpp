#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/network_equations.h"
#include "simulator/simulator.h"

namespace vt {

Simulator::Simulator() = default;
Simulator::~Simulator() = default;

// Rejects counts and rates that cannot describe a network, before anything
// is allocated or changed.
void Simulator::validate() const {
  auto fail = [](const std::string& msg) { throw std::invalid_argument("vtt_ini: " + msg); };
  // Row counts are 2·sections + a few; the bound keeps them inside int.
  constexpr int kMaxSections = 1 << 28;
  if (cfg.nvt < 1 || cfg.nvt > kMaxSections)
    fail("nvt must be 1.." + std::to_string(kMaxSections) + " (got " + std::to_string(cfg.nvt) + ")");
  if (afvt == nullptr) fail("no vocal-tract area function (afvt) given");
  if (cfg.nglt0 != 1 || cfg.nglt1 != 2) fail("the glottis has exactly one section (nglt0 1, nglt1 2)");
  const float ratio = cfg.simfrq / cfg.smpfrq;
  if (!(std::fabs(ratio) < 2147483648.0f))
    fail("simfrq / smpfrq must be a finite ratio (simfrq " + std::to_string(cfg.simfrq) +
         ", smpfrq " + std::to_string(cfg.smpfrq) + ")");
  if (cfg.subGLTsystem == 1 && (cfg.ntr < 0 || cfg.ntr > 20))
    fail("ntr must be 0..20 with the trachea on (got " + std::to_string(cfg.ntr) + ")");
  if (cfg.nasal_tract == 1) {
    if (cfg.nbp < 1 || cfg.nbp >= cfg.nvt)
      fail("with the nasal tract nbp must be 1..nvt-1 (nbp " + std::to_string(cfg.nbp) +
           ", nvt " + std::to_string(cfg.nvt) + ")");
    if (afnt == nullptr) fail("with the nasal tract a nasal area function (afnt) is needed");
    if (nnt > kMaxSections)
      fail("nnt must be at most " + std::to_string(kMaxSections) + " (got " + std::to_string(nnt) + ")");
    if (cfg.nnc < 0 || cfg.nnc >= nnt)
      fail("with the nasal tract 0 <= nnc < nnt is needed (nnc " + std::to_string(cfg.nnc) +
           ", nnt " + std::to_string(nnt) + ")");
    if (cfg.sinus_cavity == 1) {
      const int s = cfg.sinus_pos - cfg.nnc;
      if (s > nnt - cfg.nnc)
        fail("sinus_pos - nnc (" + std::to_string(s) + ") lies beyond the nasal tract (" +
             std::to_string(nnt - cfg.nnc) + " sections)");
    }
  }
}

int Simulator::vtt_ini() {
  validate();
  running_ = false;

  // 1. Rates and derived constants (pure functions of the configuration).
  k_ = derive_sim_constants(cfg);

  // 2. Output filter.
  const int delay = decim_.decim_init(k_.deci);

  // 3. Noise generators: scale and warm-up on top of the kept memories.
  if (cfg.noise_source == 1) {
    noise3_.frictionNoise3(0, memGlt_, rng_);
    noise3_.frictionNoise3(0, memAc_, rng_);
  }

  // 5-8. Arrays of the active parts, zero-filled.
  SimLayout& L = lay_;
  L = SimLayout{};
  L.nasal_tract = cfg.nasal_tract == 1 ? 1 : 0;
  L.subGLTsystem = cfg.subGLTsystem == 1 ? 1 : 0;
  L.nglt0 = cfg.nglt0;
  L.nglt1 = cfg.nglt1;
  actr_.clear();
  if (L.subGLTsystem) {
    L.ntr = cfg.ntr;
    L.ntr1 = cfg.ntr + 1;
    actr_.assign(L.ntr1, td_acoustic_elements{});
  }
  L.nvt0 = L.nasal_tract ? cfg.nbp : cfg.nvt;
  L.nvt1 = L.nvt0 + 1;
  af_.assign(L.nvt0, area_function{});
  daf_.assign(L.nvt0, area_function{});
  ac_.assign(L.nvt1, td_acoustic_elements{});
  L.n0 = L.subGLTsystem ? L.ntr + L.nvt0 + 1 : L.nvt0 + 1;
  L.n2 = 2 * L.n0;
  L.n3 = 2 * L.n0 + 1;
  L.n4 = 2 * L.n0 + 2;
  L.n5 = 2 * L.n0 + 3;
  eq_.assign(L.n5, td_linear_equation{});
  afbu_.clear(); dafbu_.clear(); acbu_.clear(); eqbu_.clear();
  afnc_.clear(); dafnc_.clear(); acnc_.clear(); afna_.clear(); acna_.clear(); eqnt_.clear();
  if (L.nasal_tract) {
    L.nbu0 = cfg.nvt - cfg.nbp;
    L.nbu1 = L.nbu0 + 1;
    L.nbu3 = 2 * L.nbu0 + 1;
    L.nbu4 = 2 * L.nbu0 + 2;
    L.nbu5 = 2 * L.nbu0 + 3;
    L.nbu6 = 2 * L.nbu0 + 4;
    afbu_.assign(L.nbu0, area_function{});
    dafbu_.assign(L.nbu0, area_function{});
    acbu_.assign(L.nbu1, td_acoustic_elements{});
    eqbu_.assign(L.nbu6, td_linear_equation{});
    L.nnc = cfg.nnc;
    L.nnc1 = cfg.nnc + 1;
    afnc_.assign(L.nnc, area_function{});
    dafnc_.assign(L.nnc, area_function{});
    acnc_.assign(L.nnc1, td_acoustic_elements{});
    L.nnt = nnt;
    L.nna0 = nnt - cfg.nnc;
    L.nna1 = L.nna0 + 1;
    afna_.assign(L.nna0, area_function{});
    acna_.assign(L.nna1, td_acoustic_elements{});
    L.nnt3 = 2 * nnt + 1;
    L.nnt4 = 2 * nnt + 2;
    L.nnt5 = 2 * nnt + 3;
    L.nnt6 = 2 * nnt + 4;
    eqnt_.assign(L.nnt6, td_linear_equation{});
  }
  nasal_ = L.nasal_tract;
  subglt_ = L.subGLTsystem;
  nvt0_ = L.nvt0;
  nbu0_ = L.nbu0;
  nnc_ = L.nnc;
  nna0_ = L.nna0;
  n4_ = L.n4;
  nbu4_ = L.nbu4;

  // 9. Sources from rest.
  if (subglt_) clear_sources(L.ntr1, actr_.data());
  clear_sources(L.nglt1, acglt_);
  clear_sources(L.nvt1, ac_.data());
  iLrad_lip_ = 0.0;
  if (nasal_) {
    clear_sources(L.nbu1, acbu_.data());
    clear_sources(L.nnc1, acnc_.data());
    clear_sources(L.nna1, acna_.data());
    iLrad_nos_ = 0.0;
  }
  // The wall-flow memory starts from rest too, so that a run with wall
  // radiation does not begin with the previous run's last wall flow.
  U0_wall_ = 0.0;
  U1_wall_ = 0.0;

  // 10. Unknowns from rest.
  clear_PU(L.n5, eq_.data());
  U1_lip_ = 0.0;
  if (nasal_) {
    clear_PU(L.nbu6, eqbu_.data());
    clear_PU(L.nnt6, eqnt_.data());
    U1_nos_ = 0.0;
  }

  // 11. Seeds: lung pressure in dyn/cm² on row 0; unit seeds past the radiating ends.
  eq_[0].elimSrc = cfg.H2O_bar * cfg.Psub;
  eq_[0].elimCoef = 1.0;
  if (nasal_) {
    eqbu_[L.nbu5].elimSrc = 0.0;
    eqbu_[L.nbu5].elimCoef = 1.0;
    eqnt_[L.nnt5].elimSrc = 0.0;
    eqnt_[L.nnt5].elimCoef = 1.0;
  }

  // 12. First geometry. The constriction search keeps its last index when no
  // section qualifies; an index left by an earlier, longer tract would lie
  // outside this one, so it starts again from the first section.
  if (Ac_pharynx_.index >= nvt0_) Ac_pharynx_ = constriction{};
  if (Ac_mouth_.index >= std::max(nbu0_, 1)) Ac_mouth_ = constriction{};
  copy_initial_af_t();
  find_constriction();

  // 14. Trachea elements (fixed geometry). The configured sections pass the
  // area floor like every other section, so a closed one cannot divide by zero.
  if (subglt_) {
    area_function aftr[20];
    for (int i = 0; i < L.ntr; ++i) aftr[i] = {nonzero_t(cfg.aftr[i].A), nonzero_t(cfg.aftr[i].x)};
    acous_elements_t(k_, cfg.wall, kTubeTrachea, L.ntr, aftr, actr_.data());
  }

  // 15. Nasal tract proper and nostril radiation (fixed geometry). The nostril
  // opening passes the area floor like every stored area.
  if (nasal_) {
    NTacous_elements_t(k_, cfg, L.nna0, afna_.data(), acna_.data());
    radiation_load(k_, cfg.rad_boundary, nonzero_t(afnt[nnt - 1].A), 5000.0, &Grad_nos_,
                   &Lrad_nos_);
    eqnt_[L.nnt4].coef = Grad_nos_ + Lrad_nos_;
  }

  // 16. A fixed vocal tract gets its elements once.
  if (cfg.vocal_tract != 1) refresh_acoustic_elements();

  // Pivot buffers of the pipelined single chain.
  for (auto& D : Dbuf_) D.assign(L.n5, 0.0);
  dcur_ = 0;
  pending_ = false;
  pivots_in_buffer_ = false;

  fric_m_ = -1;
  running_ = true;
  return delay;
}

}  // namespace vt
