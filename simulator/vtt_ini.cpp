#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "simulator/acoustic_elements.h"
#include "simulator/area_update.h"
#include "simulator/lane_pairs.h"
#include "simulator/network_equations.h"
#include "simulator/simulator.h"

namespace vt {

Simulator::Simulator() = default;
Simulator::~Simulator() { reclaim(); }

// Rejects counts and rates that cannot describe a network, before anything
// is allocated or changed.
void Simulator::validate() const {
  auto fail = [](const std::string& msg) { throw std::invalid_argument("vtt_ini: " + msg); };
  // Row counts are 2·sections + a few; the bound keeps them inside int.
  constexpr int kMaxSections = 1 << 28;
  if (cfg.nvt < 1 || cfg.nvt > kMaxSections)
    fail("nvt must be 1.." + std::to_string(kMaxSections) + " (got " + std::to_string(cfg.nvt) +
         ")");
  if (afvt == nullptr) fail("no vocal-tract area function (afvt) given");
  if (cfg.nglt0 != 1 || cfg.nglt1 != 2)
    fail("the glottis has exactly one section (nglt0 1, nglt1 2)");
  const float ratio = cfg.simfrq / cfg.smpfrq;
  if (!(std::fabs(ratio) < 2147483648.0f))
    fail("simfrq / smpfrq must be a finite ratio (simfrq " + std::to_string(cfg.simfrq) +
         ", smpfrq " + std::to_string(cfg.smpfrq) + ")");
  if (cfg.subGLTsystem == 1 && (cfg.ntr < 0 || cfg.ntr > 20))
    fail("ntr must be 0..20 with the trachea on (got " + std::to_string(cfg.ntr) + ")");
  if (cfg.nasal_tract == 1) {
    if (cfg.nbp < 1 || cfg.nbp >= cfg.nvt)
      fail("with the nasal tract nbp must be 1..nvt-1 (nbp " + std::to_string(cfg.nbp) + ", nvt " +
           std::to_string(cfg.nvt) + ")");
    if (afnt == nullptr) fail("with the nasal tract a nasal area function (afnt) is needed");
    if (nnt > kMaxSections)
      fail("nnt must be at most " + std::to_string(kMaxSections) + " (got " + std::to_string(nnt) +
           ")");
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
  reclaim();
  running_ = false;

  // Rates and derived constants (pure functions of the configuration).
  k_ = derive_sim_constants(cfg);
  glottal_elements_.reset();

  // Output filter.
  const int delay = decim_.decim_init(k_.deci);

  // Noise generators: scale and warm-up on top of the kept memories.
  if (cfg.noise_source == 1) {
    noise3_.frictionNoise3(0, memGlt_, rng_);
    noise3_.frictionNoise3(0, memAc_, rng_);
  }

  // Branches and systems of the active parts, zero-filled: every history,
  // shunt source and unknown starts from rest.
  AirwayNetwork& n = net_;
  n.build(cfg, nnt);
  n.lips.iL = 0.0;
  n.nostrils.iL = 0.0;
  U1_lip_ = 0.0;
  U1_nos_ = 0.0;
  // The wall-flow memory starts from rest too, so that a run with wall
  // radiation does not begin with the previous run's last wall flow.
  U0_wall_ = 0.0;
  U1_wall_ = 0.0;

  // Boundary seeds: the lung pressure (dyn/cm²) on row 0 of the pharynx
  // system; unit pivots past the radiating ends of the outer systems.
  n.eq[0].elimSrc = cfg.H2O_bar * cfg.Psub;
  n.eq[0].elimCoef = 1.0;
  if (n.has_nasal()) {
    n.eqbu[n.nbu4() + 1].elimSrc = 0.0;
    n.eqbu[n.nbu4() + 1].elimCoef = 1.0;
    n.eqnt[n.nnt4() + 1].elimSrc = 0.0;
    n.eqnt[n.nnt4() + 1].elimCoef = 1.0;
  }

  // First geometry. The constriction search keeps its last index when no
  // section qualifies; an index left by an earlier, longer tract would lie
  // outside this one, so it starts again from the first section.
  if (Ac_pharynx_.index >= n.main.sections()) Ac_pharynx_ = constriction{};
  if (Ac_mouth_.index >= std::max(n.mouth.sections(), 1)) Ac_mouth_ = constriction{};
  copy_initial_af_t();
  find_constriction();

  // Trachea elements (fixed geometry). The configured sections pass the
  // area floor like every other section, so a closed one cannot divide by zero.
  if (n.has_trachea()) {
    AirwayBranch& tr = n.trachea;
    for (int i = 0; i < tr.sections(); ++i)
      tr.af[i] = {nonzero_t(cfg.aftr[i].A), nonzero_t(cfg.aftr[i].x)};
    acous_elements_t(k_, cfg.wall, kTubeTrachea, tr.sections(), tr.af.data(), tr.ac.data());
  }

  // Nasal tract proper and nostril radiation (fixed geometry). The nostril
  // opening passes the area floor like every stored area.
  if (n.has_nasal()) {
    NTacous_elements_t(k_, cfg, n.nasal.sections(), n.nasal.af.data(), n.nasal.ac.data());
    radiation_load(k_, cfg.rad_boundary, nonzero_t(afnt[nnt - 1].A), 5000.0, n.nostrils);
    n.eqnt[n.nnt4()].coef = n.nostrils.coef();
  }

  // A fixed vocal tract gets its elements once.
  if (cfg.vocal_tract != 1) refresh_acoustic_elements();

  // Pivot buffers of the overlapped single chain.
  for (auto& D : Dbuf_) D.assign(n.eq.size(), 0.0);
  section_keys_.assign(n.main.sections(), SectionElementKey{});
  dcur_ = 0;
  pending_ = false;
  pivots_in_buffer_ = false;
  trachea_pivot_buffers_ = 0;
  dk_ = Decimator::q_decim;
  out_prev_ = out_now_ = 0.0f;

  fric_m_ = -1;
  running_ = true;
  return delay;
}

}  // namespace vt
