#include "synth/synthesis_run.h"

#include <array>
#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "artic/interpo_mem.h"
#include "artic/interpolVTAF.h"
#include "artic/interpolX.h"
#include "simulator/signal_tap.h"
#include "synth/format_text.h"
#include "synth/gateway_config.h"
#include "synth/internal_signals.h"
#include "synth/request_checks.h"
#include "synth/synthesizer.h"

namespace vt {
namespace {

/// Break points of one scalar control track as the interpolator walks them.
void loadTrack(const ControlTrack& track, interpoMem& mem) {
  const std::size_t K = track.size();
  mem.times.resize(K);
  mem.values.resize(K);
  mem.kinds.resize(K);
  for (std::size_t k = 0; k < K; ++k) {
    mem.times[k] = static_cast<float>(track[k].time_ms);
    mem.values[k] = static_cast<float>(track[k].value);
    mem.kinds[k] = static_cast<int>(track[k].kind);
  }
  mem.count = static_cast<int>(K);
  mem.ended = 0;
  mem.next = 0;
}

/// Key frames of the area function as the interpolator walks them.
void loadFrames(const SynthesisRequest& rq, interpoMemVTAF& vtaf) {
  const std::size_t F = rq.frames.size();
  const int nvt = rq.nvt;
  vtaf.count = static_cast<int>(F);
  vtaf.dxFrames.assign(F, std::vector<float>(nvt));
  vtaf.areaFrames.assign(F, std::vector<float>(nvt));
  vtaf.times.resize(F);
  vtaf.kinds.resize(F);
  vtaf.noiseLocs.resize(F);
  for (std::size_t m = 0; m < F; ++m) {
    const KeyFrame& f = rq.frames[m];
    vtaf.times[m] = static_cast<float>(f.time_ms);
    vtaf.kinds[m] = static_cast<int>(f.kind);
    vtaf.noiseLocs[m] = f.noiseSourceOffset;
    for (int l = 0; l < nvt; ++l) {
      vtaf.dxFrames[m][l] = static_cast<float>(f.lengths_cm[l]);
      vtaf.areaFrames[m][l] = static_cast<float>(f.areas_cm2[l]);
    }
  }
}

/// Narrowest section over the frames that place a frication source (offset
/// >= 0); ties go to the section nearer the lips, areas above 999 cm² never count.
int narrowestFricationSection(const interpoMemVTAF& vtaf, int nvt) {
  int nAcc = 0;
  for (int m = 0; m < vtaf.count; ++m) {
    if (vtaf.noiseLocs[m] < 0) continue;
    float minA = 999.0f;
    for (int l = 0; l < nvt; ++l) {
      if (vtaf.areaFrames[m][l] <= minA) {
        minA = vtaf.areaFrames[m][l];
        nAcc = l;
      }
    }
  }
  return nAcc;
}

/// Runs vtt_term when the call's state goes after vtt_ini, on every exit path.
class SimulatorRun {
 public:
  explicit SimulatorRun(Simulator& sim) : sim_(sim) {}
  ~SimulatorRun() {
    if (started_) sim_.vtt_term();
    sim_.set_signal_tap(nullptr);
    sim_.afvt = nullptr;  // the call's area functions are released next
    sim_.afnt = nullptr;
  }
  SimulatorRun(const SimulatorRun&) = delete;
  SimulatorRun& operator=(const SimulatorRun&) = delete;
  void start() {
    started_ = true;  // vtt_term also releases what a failing vtt_ini allocated
    sim_.vtt_ini();
  }

 private:
  Simulator& sim_;
  bool started_ = false;
};

SynthesisResult refuse(std::string printed, std::string message) {
  SynthesisResult out;
  out.status = 1;
  out.printed = std::move(printed);
  out.error = std::move(message);
  return out;
}

constexpr const char* kOutOfMemory = "out of memory while synthesising";

}  // namespace

/// What a call holds while it runs, declared in the order it is built so
/// that it is released in reverse (the network's run first).
struct SynthesisRun::State {
  explicit State(Simulator& sim) : simRun(sim) {}
  const SynthesisRequest* rq = nullptr;
  float smpfrq = 0.0f;
  int nvt = 0;
  // Nasal branch: coupling sections at the velum port area of each sample,
  // then the fixed nasal tract proper.
  std::vector<area_function> afnt;
  interpoMem memVelum, memPsub;
  int nnc = 0;
  bool psubTrack = false;
  // Internal signals, through their own copies of the output filter.
  std::unique_ptr<SignalTap> tap;
  // Scalar control tracks: glottal baseline area, pulse amplitude, F0.
  interpoMem memAg0, memAgP, memF0;
  // Key frames of the area function.
  interpoMemVTAF vtaf;
  SynthesisResult out;
  std::vector<float> buffer;
  std::vector<area_function> afvt;
  SimulatorRun simRun;
  // The sample under way and the loop's values for the trace.
  unsigned int j = 0;
  float g0 = 0.0f, gp = 0.0f, f0 = 0.0f, Ag = 0.0f;
  GlottalSample g{};
};

SynthesisRun::SynthesisRun(Synthesizer& synth, const SynthesisRequest& request)
    : synth_(synth), sim_(synth.sim_) {
  const std::string refused = checkRequest(request);
  if (!refused.empty()) {
    result_ = refuse("", refused);
    return;
  }
  // The length follows from the tracks: an output beyond the memory limit is
  // refused now rather than after hours of work (fs = 2^31 asked for 5e8
  // samples before the allocation failed).
  const std::size_t length = outputLength(request);
  const std::size_t limit = synth.outputLimit_;
  if (limit != 0 && length > limit) {
    result_ = refuse(
        "", formatText("%s The output would hold %zu samples (%.10g s at %g Hz), more "
                       "than the %zu this machine's memory allows; shorten TAg0/TAgP "
                       "or lower fs.",
                       kArgumentCheckFailed, length, static_cast<double>(length) / request.smpfrq,
                       static_cast<double>(request.smpfrq), limit));
    return;
  }
  try {
    start(request);
  } catch (const std::bad_alloc&) {
    // Every per-call array is released; the synthesiser (configuration,
    // pulse state, noise) is intact for the next call.
    finish(refuse("", kOutOfMemory));
  }
}

SynthesisRun::~SynthesisRun() = default;

void SynthesisRun::start(const SynthesisRequest& rq) {
  state_ = std::make_unique<State>(sim_);
  State& st = *state_;
  st.rq = &rq;
  st.smpfrq = rq.smpfrq;
  st.nvt = rq.nvt;
  SimConfig& cfg = sim_.cfg;
  cfg.smpfrq = st.smpfrq;
  cfg.simfrq = rq.simfrq();
  const SynthesisOptions& opt = rq.options;
  applySynthesisOptions(cfg, opt, st.nvt);
  if (opt.seed) sim_.seed_noise(*opt.seed);
  synth_.glottis_.setQuotients(opt.open_quotient, opt.close_quotient);

  st.nnc = static_cast<int>(opt.coupling_lengths_cm.size());
  if (opt.nasal_tract) {
    for (double x : opt.coupling_lengths_cm) st.afnt.push_back({0.0f, static_cast<float>(x)});
    for (const TubeSection& t : opt.nasal_sections)
      st.afnt.push_back({static_cast<float>(t.area_cm2), static_cast<float>(t.length_cm)});
    loadTrack(opt.velum, st.memVelum);
    sim_.afnt = st.afnt.data();
    sim_.nnt = static_cast<int>(st.afnt.size());
  }
  st.psubTrack = !opt.Psub_track.empty();
  if (st.psubTrack) loadTrack(opt.Psub_track, st.memPsub);

  if (!rq.signals.empty()) {
    std::array<bool, static_cast<int>(NetworkSignal::Count)> wanted{};
    for (const std::string& name : rq.signals)
      wanted[static_cast<int>(findInternalSignal(name)->signal)] = true;
    st.tap = std::make_unique<SignalTap>(wanted);
  }

  loadTrack(rq.TAg0, st.memAg0);
  loadTrack(rq.TAgP, st.memAgP);
  loadTrack(rq.TF0, st.memF0);

  // With VCV the narrowest section of the frication frames.
  loadFrames(rq, st.vtaf);
  if (rq.VCV) {
    st.out.nAcc = narrowestFricationSection(st.vtaf, st.nvt);
    char line[32];
    std::snprintf(line, sizeof line, "nAcc[%d]\n", *st.out.nAcc);
    st.out.printed += line;
  }

  st.buffer.reserve(10000);
  synth_.glottis_.restart();
}

void SynthesisRun::finish(SynthesisResult result) {
  result_ = std::move(result);
  state_.reset();
}

void SynthesisRun::failOutOfMemory() { finish(refuse("", kOutOfMemory)); }

void SynthesisRun::prepare() {
  State& st = *state_;
  try {
    const unsigned int j = st.j;
    const float smpfrq = st.smpfrq;
    const SynthesisOptions& opt = st.rq->options;
    st.g0 = interpolX(j, &st.memAg0, smpfrq);
    st.gp = interpolX(j, &st.memAgP, smpfrq);
    st.f0 = interpolX(j, &st.memF0, smpfrq);
    // While F0 is in a kind-0 (voiceless) segment, the next pulse waits for its end.
    GlottalDrive& glottis = synth_.glottis_;
    if (st.memF0.kind == 0) glottis.holdUntil(st.memF0.segEnd);
    st.g = glottis.next(j, st.g0, st.gp, st.f0, smpfrq, opt.glottis);
    st.Ag = st.g.Ag;
    sim_.Ag = st.Ag;
    interpolVTAF(j, &st.vtaf, st.nvt, smpfrq, st.afvt, sim_.cfg.noiseSourceLoc);
    sim_.afvt = st.afvt.data();
    if (opt.nasal_tract) {
      const float port = opt.velum.empty() ? 0.0f : interpolX(j, &st.memVelum, smpfrq);
      for (int c = 0; c < st.nnc; ++c) st.afnt[c].A = port;
    }
    if (st.psubTrack) sim_.set_lung_pressure(interpolX(j, &st.memPsub, smpfrq));
    if (j == 0) {
      st.simRun.start();
      if (st.tap) {
        st.tap->begin(sim_.constants().deci);
        sim_.set_signal_tap(st.tap.get());
      }
    }
  } catch (const std::bad_alloc&) {
    failOutOfMemory();
  }
}

float SynthesisRun::advanceAlone() {
  if (synth_.trace_) return sim_.vtt_sim();  // the observer sees each sample as it is taken
  sim_.vtt_sim_deferred();
  if (placeholder_) state_->buffer.back() = sim_.previous_output();
  placeholder_ = !(state_->memAg0.ended && state_->memAgP.ended);
  return placeholder_ ? 0.0f : sim_.deferred_output();
}

void SynthesisRun::settle() {
  if (!placeholder_) return;
  state_->buffer.back() = sim_.deferred_output();
  placeholder_ = false;
}

void SynthesisRun::take(float s) {
  State& st = *state_;
  try {
    const unsigned int j = st.j;
    try {
      const std::size_t limit = synth_.outputLimit_;
      if (limit != 0 && st.buffer.size() >= limit) throw std::bad_alloc();
      st.buffer.push_back(s);
    } catch (const std::bad_alloc&) {
      finish(refuse(st.out.printed,
                    "out of memory for " + std::to_string(std::size_t{j} + 1) + " output samples"));
      return;
    }
    if (synth_.trace_)
      synth_.trace_(SampleTrace{j, st.g0, st.gp, st.f0, st.g.period, st.g.pulse, st.Ag, s});
    if (synth_.interrupted_ && (j & 0xFFFu) == 0xFFFu && synth_.interrupted_()) {
      finish(refuse(st.out.printed, kInterruptedError));
      return;
    }
    if (!(st.memAg0.ended && st.memAgP.ended)) {
      ++st.j;
      return;
    }
    SynthesisResult out = std::move(st.out);
    out.samples = std::move(st.buffer);
    if (st.tap) {
      for (const std::string& name : st.rq->signals)
        out.signals[name] = st.tap->samples(findInternalSignal(name)->signal);
    }
    finish(std::move(out));
  } catch (const std::bad_alloc&) {
    failOutOfMemory();
  }
}

}  // namespace vt
