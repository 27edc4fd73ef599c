#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/area_function.h"
#include "simulator/constriction.h"
#include "simulator/decimator.h"
#include "simulator/friction_noise.h"
#include "simulator/random_generator.h"
#include "simulator/sim_config.h"
#include "simulator/sim_constants.h"
#include "simulator/td_acoustic_elements.h"
#include "simulator/td_linear_equation.h"

namespace vt {

class SignalTap;

/// Counts and row indices of the network of one run (set by vtt_ini).
struct SimLayout {
  int nasal_tract = 0;   ///< nasal branch present in this run
  int subGLTsystem = 0;  ///< trachea present in this run
  int ntr = 0, ntr1 = 0;               ///< trachea sections / element records
  int nglt0 = 1, nglt1 = 2;            ///< glottal sections / element records
  int nvt0 = 0, nvt1 = 0;              ///< main-branch sections / element records
  int n0 = 0, n2 = 0, n3 = 0, n4 = 0, n5 = 0;  ///< eq: sections, last section row,
                                               ///< last junction, closing row, rows
  int nbu0 = 0, nbu1 = 0, nbu3 = 0, nbu4 = 0, nbu5 = 0, nbu6 = 0;  ///< mouth branch
  int nnc = 0, nnc1 = 0;                ///< nasal coupling sections / records
  int nna0 = 0, nna1 = 0;               ///< nasal tract proper sections / records
  int nnt = 0, nnt3 = 0, nnt4 = 0, nnt5 = 0, nnt6 = 0;  ///< whole nasal branch rows
};

/// The time-domain vocal-tract simulator: glottis, vocal tract with yielding
/// walls and lip radiation, optionally trachea, nasal branch with paranasal
/// sinus and nostril radiation, solved with the trapezoidal rule at `simfrq`
/// and decimated to `smpfrq`.
///
/// One object is one independent simulator. Its configuration, noise-source
/// position, noise filter memories and random sequence persist from one run
/// (vtt_ini .. vtt_term) to the next; the network itself starts from rest at
/// every vtt_ini. Objects share nothing and may run on different threads.
class Simulator {
 public:
  SimConfig cfg;                         ///< configuration values and switches
  float Ag = 0.0f;                       ///< glottal area target of the current output sample, cm²
  const area_function* afvt = nullptr;   ///< vocal-tract target, cfg.nvt sections
  const area_function* afnt = nullptr;   ///< nasal target (coupling + nasal tract), nasal_tract only
  int nnt = 0;                           ///< sections in afnt
  /// Lets the single chain (no trachea, no nasal branch, moving tract) use the
  /// overlapped step schedule. The samples are bit-identical either way; off
  /// only for verification.
  bool allow_pipeline = true;
  /// Sets the lung (subglottal) pressure, cm H2O (>= 0), from the next step
  /// on: the DC flow law and, during a run, the pressure seed of the first row.
  void set_lung_pressure(float Psub_cmH2O);

  Simulator();
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  /// Builds the network for one run from cfg, Ag and afvt (and afnt): derived
  /// constants, arrays, cleared histories, first geometry, noise and decimator.
  /// Returns the decimation filter's delay in output samples.
  /// Throws std::invalid_argument when the counts, rates or targets cannot
  /// describe a network (e.g. nvt < 1, nbp outside 1..nvt-1 with the nasal
  /// tract, nnt <= nnc, no afvt).
  int vtt_ini();
  /// Advances the network by one output sample towards the current Ag/afvt
  /// targets and returns the radiated pressure sample (0 when deci <= 0).
  /// Throws std::logic_error when no run is active.
  float vtt_sim();
  /// Releases the arrays of the run.
  void vtt_term();
  /// Restarts the noise: random sequence from `seed` (1 = never seeded) and
  /// the noise filters from rest, so a run's noise no longer depends on the runs before it.
  void seed_noise(std::uint32_t seed) {
    rng_.seed(seed);
    noise3_ = FrictionNoise3{};
    memGlt_ = NoiseMemory{};
    memAc_ = NoiseMemory{};
  }

  /// Hands every simulation step's network state to `tap` (nullptr: none).
  /// The tap completes the deferred part of each step's solution, so a run
  /// with a tap takes longer; its samples are the same.
  void set_signal_tap(SignalTap* tap) { tap_ = tap; }

  // Read-only views of the network state (for inspection and tests).
  bool running() const { return running_; }
  const SimConstants& constants() const { return k_; }
  const SimLayout& layout() const { return lay_; }
  /// Rows of the main chain; completes first the part of the last step's
  /// solution that the overlapped schedule defers to the next step.
  std::span<const td_linear_equation> eq_rows() const {
    settle_rows();
    return eq_;
  }
  std::span<const td_linear_equation> eqbu_rows() const { return eqbu_; }
  std::span<const td_linear_equation> eqnt_rows() const { return eqnt_; }
  std::span<const td_acoustic_elements> acglt_elements() const { return acglt_; }
  std::span<const td_acoustic_elements> ac_elements() const { return ac_; }
  std::span<const td_acoustic_elements> actr_elements() const { return actr_; }
  std::span<const td_acoustic_elements> acbu_elements() const { return acbu_; }
  std::span<const td_acoustic_elements> acnc_elements() const { return acnc_; }
  std::span<const td_acoustic_elements> acna_elements() const { return acna_; }
  std::span<const area_function> af_sections() const { return af_; }
  std::span<const area_function> afbu_sections() const { return afbu_; }
  std::span<const area_function> afnc_sections() const { return afnc_; }
  std::span<const area_function> afna_sections() const { return afna_; }
  const area_function& glottis_section() const { return afglt_; }
  const constriction& Ac() const { return Ac_; }
  double Udc() const { return Udc_; }
  const NoiseMemory& glottal_noise_memory() const { return memGlt_; }
  const NoiseMemory& constriction_noise_memory() const { return memAc_; }
  /// Element record that received the frication noise in the last step
  /// (-1 before any step with noise on).
  int frication_junction() const { return fric_m_; }

 private:
  void validate() const;
  void copy_initial_af_t();
  void dax();
  void refresh_af();
  void find_constriction();
  void refresh_acoustic_elements();
  void flow_law();
  void inject_noise();
  float step(int flag);
  // Single-chain step that overlaps the back substitution of the previous
  // step with this step's element, coefficient and pivot work.
  bool can_pipeline() const;
  float step_pipelined(int flag);
  void finish_pending() const;
  void settle_rows() const;

  SimConstants k_{};
  SimLayout lay_{};
  bool running_ = false;
  // Run structure, copied from lay_ for brevity in the step.
  int nasal_ = 0, subglt_ = 0;
  int nvt0_ = 0, nbu0_ = 0, nnc_ = 0, nna0_ = 0, n4_ = 0, nbu4_ = 0;

  // Geometry.
  area_function afglt_{}, dafglt_{};
  std::vector<area_function> af_, daf_, afbu_, dafbu_, afnc_, dafnc_, afna_;
  constriction Ac_{}, Ac_pharynx_{}, Ac_mouth_{};

  // Elements and equation rows.
  td_acoustic_elements acglt_[2]{};
  std::vector<td_acoustic_elements> actr_, ac_, acbu_, acnc_, acna_;
  // eq_ is completed lazily by the const views (deferred back substitution).
  mutable std::vector<td_linear_equation> eq_;
  std::vector<td_linear_equation> eqbu_, eqnt_;

  // Radiation loads and the step's scalar state.
  double Grad_lip_ = 0, Lrad_lip_ = 0, Grad_nos_ = 0, Lrad_nos_ = 0;
  double Udc_ = 0, Ag2_ = 0, Ac2_ = 0, Rg_v_ = 0, Rg_k_ = 0, Rc_v_ = 0, Rc_k_ = 0;
  double rv_sum_ = 0, rk_sum_ = 0;
  double U0_lip_ = 0, U1_lip_ = 0, U0_nos_ = 0, U1_nos_ = 0;
  double iLrad_lip_ = 0, iLrad_nos_ = 0, U0_wall_ = 0, U1_wall_ = 0;
  int fric_m_ = -1;
  SignalTap* tap_ = nullptr;

  // Pipelined single chain: elimination pivots of two consecutive steps, the
  // back substitution of the last step still to be completed (rows n3-1..1).
  std::vector<double> Dbuf_[2];
  int dcur_ = 0;
  mutable bool pending_ = false;
  mutable bool pivots_in_buffer_ = false;

  // Noise and output filter; persist across runs.
  RandomGenerator rng_;
  FrictionNoise3 noise3_;
  NoiseMemory memGlt_{}, memAc_{};
  Decimator decim_;
};

}  // namespace vt
