#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "records/area_function.h"
#include "simulator/airway_network.h"
#include "simulator/constriction.h"
#include "simulator/decimator.h"
#include "simulator/friction_noise.h"
#include "simulator/random_generator.h"
#include "simulator/sim_config.h"
#include "simulator/sim_constants.h"
#include "simulator/td_acoustic_elements.h"
#include "simulator/td_linear_equation.h"
#include "simulator/unchanged_input_cache.h"

namespace vt {

class SignalTap;
struct LanePairBlock;

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
  SimConfig cfg;                        ///< configuration values and switches
  float Ag = 0.0f;                      ///< glottal area target of the current output sample, cm²
  const area_function* afvt = nullptr;  ///< vocal-tract target, cfg.nvt sections
  const area_function* afnt = nullptr;  ///< nasal target (coupling + nasal tract), nasal_tract only
  int nnt = 0;                          ///< sections in afnt
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
  /// Sets the targets of the coming output sample (glottal area Ag, cm², and
  /// the vocal-tract area function afvt, cfg.nvt sections) and advances.
  float vtt_sim(float Ag_cm2, const area_function* afvt_target) {
    Ag = Ag_cm2;
    afvt = afvt_target;
    return vtt_sim();
  }
  /// Advances by one output sample as vtt_sim does, but leaves the output
  /// filter's summation of the new sample (a chain of 51 single-precision
  /// roundings) pending: it is completed inside the next vtt_sim_deferred,
  /// beside that call's first step, where its latency is hidden. Afterwards
  /// previous_output() is the sample of the call before; deferred_output()
  /// completes and returns this call's sample. The samples are those of vtt_sim.
  void vtt_sim_deferred();
  /// The output sample of the vtt_sim_deferred call before the last one.
  float previous_output() const { return out_prev_; }
  /// Completes the pending summation; the output sample of the last
  /// vtt_sim_deferred call.
  float deferred_output();
  /// Most lanes vtt_sim_lanes advances together.
  static constexpr std::size_t kMaxLanes = 8;
  /// Advances up to kMaxLanes independent simulators (lanes, each with its
  /// own run and targets) by one output sample in one thread, out[l] being
  /// lane l's sample. Lanes of the overlapped single chain with equal section
  /// counts and rates run in lockstep, so that one lane's dependent chains
  /// overlap with the others'; any other set runs lane by lane. Every lane's
  /// samples and state are bit for bit those of lanes[l]->vtt_sim().
  /// Throws std::invalid_argument for too many lanes, a lane given twice or
  /// too short an output, std::logic_error for a lane with no active run.
  static void vtt_sim_lanes(std::span<Simulator* const> lanes, std::span<float> out);
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
  void set_signal_tap(SignalTap* tap) {
    reclaim();
    tap_ = tap;
  }

  // Read-only views of the network state (for inspection and tests).
  bool running() const { return running_; }
  const SimConstants& constants() const { return k_; }
  /// Branches, systems and radiation loads of the run. The pharynx rows may
  /// lag: use eq_rows() for a completed solution.
  const AirwayNetwork& network() const {
    reclaim();
    return net_;
  }
  /// Counts and row indices of the run (derived from the branches).
  SimLayout layout() const { return net_.counts(); }
  /// Rows of the pharynx system; completes first the part of the last step's
  /// solution that the overlapped schedule defers to the next step.
  std::span<const td_linear_equation> eq_rows() const {
    reclaim();
    settle_rows();
    return net_.eq;
  }
  std::span<const td_linear_equation> eqbu_rows() const { return net_.eqbu; }
  std::span<const td_linear_equation> eqnt_rows() const { return net_.eqnt; }
  std::span<const td_acoustic_elements> acglt_elements() const { return net_.glottis.ac; }
  std::span<const td_acoustic_elements> ac_elements() const {
    reclaim();
    return net_.main.ac;
  }
  std::span<const td_acoustic_elements> actr_elements() const { return net_.trachea.ac; }
  std::span<const td_acoustic_elements> acbu_elements() const { return net_.mouth.ac; }
  std::span<const td_acoustic_elements> acnc_elements() const { return net_.coupling.ac; }
  std::span<const td_acoustic_elements> acna_elements() const { return net_.nasal.ac; }
  std::span<const area_function> af_sections() const { return net_.main.af; }
  std::span<const area_function> afbu_sections() const { return net_.mouth.af; }
  std::span<const area_function> afnc_sections() const { return net_.coupling.af; }
  std::span<const area_function> afna_sections() const { return net_.nasal.af; }
  const area_function& glottis_section() const { return net_.glottis.af[0]; }
  const constriction& Ac() const { return Ac_; }
  const NoiseMemory& glottal_noise_memory() const { return memGlt_; }
  const NoiseMemory& constriction_noise_memory() const { return memAc_; }
  /// Element record that received the frication noise in the last step
  /// (-1 before any step with noise on).
  int frication_junction() const { return fric_m_; }

  // Signals of the last simulation step, free to read after each vtt_sim
  // (nothing is computed for them). Volume velocities in cm³/s, positive from
  // the lungs outwards; pressures in dyn/cm².
  /// Quasi-stationary flow through glottis and constriction.
  double Udc() const { return Udc_; }
  /// Sum of the volume velocities into the yielding vocal-tract walls.
  double wall_flow() const { return U1_wall_; }
  /// Radiated pressure of the last step before decimation, dyn/cm² at 100 cm.
  float radiated_step_pressure() const { return last_s_; }

 private:
  void validate() const;
  void copy_initial_af_t();
  void dax();
  void refresh_af();
  void find_constriction();
  void refresh_acoustic_elements();
  void flow_law();
  AirwayBranch* constriction_branch();
  void inject_noise();
  float step(int flag);
  // Single-chain step that overlaps the back substitution of the previous
  // step with this step's element, coefficient and pivot work.
  bool can_pipeline() const;
  float step_pipelined(int flag);
  template <int N>
  static void step_lanes(Simulator* const* lanes, int flag, float* out);
  static bool lockstep_compatible(const Simulator& a, const Simulator& b);
  // Two lanes in one two-wide network (lane_pairs.cpp): whether a and b can
  // take the paired step now, their state into and out of the pair, one step.
  static bool pair_ready(const Simulator& a, const Simulator& b);
  static void pair_import(Simulator* const* sims, LanePairBlock& blk);
  static void pair_export(LanePairBlock& blk);
  // The dynamic term's shunt sources that dax() set in the lanes' own
  // records, into the pair.
  static void pair_shunt_sources(Simulator* const* sims, LanePairBlock& blk);
  static void step_pair(Simulator* const* sims, LanePairBlock& blk, int flag, float* out);
  void check_step_inputs() const;
  void finish_pending() const;
  void settle_rows() const;

  SimConstants k_{};
  bool running_ = false;

  // Branches, systems and radiation loads. The pharynx rows are completed
  // lazily by the const views (deferred back substitution).
  mutable AirwayNetwork net_;
  constriction Ac_{}, Ac_pharynx_{}, Ac_mouth_{};

  // The step's scalar state: flow-law resistances (dyn·s/cm⁵), 1/A² (1/cm⁴),
  // the quasi-stationary flow and the radiated and wall flows (cm³/s).
  double Udc_ = 0, Ag2_ = 0, Ac2_ = 0, Rg_v_ = 0, Rg_k_ = 0, Rc_v_ = 0, Rc_k_ = 0;
  double rv_sum_ = 0, rk_sum_ = 0;
  double U0_lip_ = 0, U1_lip_ = 0, U0_nos_ = 0, U1_nos_ = 0;
  double U0_wall_ = 0, U1_wall_ = 0;
  float last_s_ = 0.0f;
  int fric_m_ = -1;
  SignalTap* tap_ = nullptr;

  // Pipelined single chain: elimination pivots of two consecutive steps, the
  // back substitution of the last step still to be completed (rows n3-1..1).
  std::vector<double> Dbuf_[2];
  int dcur_ = 0;
  mutable bool pending_ = false;
  mutable bool pivots_in_buffer_ = false;
  int trachea_pivot_buffers_ = 0;  // pivot buffers holding the trachea's fixed pivots

  // Output summation left pending by vtt_sim_deferred: products, terms
  // done, partial sum, and the sample it completes into.
  double dterms_[Decimator::q_decim] = {};
  int dk_ = Decimator::q_decim;
  float dacc_ = 0.0f;
  float* dtarget_ = nullptr;
  float out_prev_ = 0.0f, out_now_ = 0.0f;
  bool defer_ = false;
  void complete_output(float* target);
  float sample_steps();
  // The pending summation `terms` further; its last term stores the sample.
  void advance_output(int terms) {
    int k = dk_;
    if (k >= Decimator::q_decim) return;
    float acc = dacc_;
    const int end = k + terms < Decimator::q_decim ? k + terms : Decimator::q_decim;
    for (; k < end; ++k) acc = static_cast<float>(acc + dterms_[k]);
    dk_ = k;
    dacc_ = acc;
    if (k == Decimator::q_decim) *dtarget_ = acc;
  }

  // A step of the single chain radiates the change of the lip volume velocity
  // (the lip junction's row value, negated: cm³/s outwards) and, with wall
  // radiation, of the wall flow; the pressure goes into the output filter.
  void radiate_single_chain(double lip_row_val) {
    U0_lip_ = U1_lip_;
    U1_lip_ = -lip_row_val;
    double d = U1_lip_ - U0_lip_;
    if (cfg.wall_radiation == 1) {
      d += U1_wall_ - U0_wall_;
      U0_wall_ = U1_wall_;
    }
    last_s_ = static_cast<float>(d * k_.Kr);
    decim_.push(last_s_);
  }

  // Noise and output filter; persist across runs.
  RandomGenerator rng_;
  FrictionNoise3 noise3_;
  NoiseMemory memGlt_{}, memAc_{};
  Decimator decim_;

  // Glottal elements and the noise sources' powers of their areas, reused
  // while their inputs keep their bits.
  GlottalElementCache glottal_elements_;
  Power25Cache pow_glottis_, pow_constriction_;
  // Vocal-tract sections of the overlapped schedule, one key per section.
  std::vector<SectionElementKey> section_keys_;
  // Paired state of this lane and the next while they step together; kept
  // between calls only so that its arrays are not allocated every sample.
  std::unique_ptr<LanePairBlock> pair_block_;
  // The pair holding this lane's vocal-tract elements, rows and pivots while
  // it steps paired (its own records are stale meanwhile); reclaim() writes
  // them back and dissolves the pair.
  mutable LanePairBlock* paired_in_ = nullptr;
  void reclaim() const;
};

}  // namespace vt
