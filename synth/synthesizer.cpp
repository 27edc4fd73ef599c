#include "synth/synthesizer.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "artic/interpo_mem.h"
#include "artic/interpolVTAF.h"
#include "artic/interpolX.h"
#include "artic/sample_index.h"
#include "simulator/signal_tap.h"
#include "synth/format_text.h"
#include "synth/gateway_config.h"
#include "synth/internal_signals.h"
#include "synth/request_checks.h"

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

/// Runs vtt_term when the scope ends after vtt_ini, on every exit path.
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

}  // namespace

std::size_t outputLimitForMemory(std::size_t bytesPerSample) {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGE_SIZE)
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && pageSize > 0 && bytesPerSample > 0) {
    return static_cast<std::size_t>(pages) / (4 * bytesPerSample) *
           static_cast<std::size_t>(pageSize);
  }
#endif
  return 0;
}

std::size_t outputLength(const SynthesisRequest& rq) {
  std::size_t last = 0;
  for (const ControlTrack* t : {&rq.TAg0, &rq.TAgP}) {
    if (t->empty()) continue;
    const float t_ms = static_cast<float>(t->back().time_ms);
    last = std::max<std::size_t>(last, breakPointSample(t_ms, rq.smpfrq));
  }
  return last + 1;
}

SynthesisResult Synthesizer::synthesize(const SynthesisRequest& request) {
  const std::string refused = checkRequest(request);
  if (!refused.empty()) return refuse("", refused);
  // The length follows from the tracks: an output beyond the memory limit is
  // refused now rather than after hours of work (fs = 2^31 asked for 5e8
  // samples before the allocation failed).
  const std::size_t length = outputLength(request);
  if (outputLimit_ != 0 && length > outputLimit_) {
    return refuse(
        "", formatText("%s The output would hold %zu samples (%.10g s at %g Hz), more "
                       "than the %zu this machine's memory allows; shorten TAg0/TAgP "
                       "or lower fs.",
                       kArgumentCheckFailed, length, static_cast<double>(length) / request.smpfrq,
                       static_cast<double>(request.smpfrq), outputLimit_));
  }
  try {
    return run(request);
  } catch (const std::bad_alloc&) {
    // Every per-call array has been released by the unwinding; the
    // synthesiser (configuration, pulse state, noise) is intact for the next call.
    return refuse("", "out of memory while synthesising");
  }
}

SynthesisResult Synthesizer::run(const SynthesisRequest& rq) {
  const float smpfrq = rq.smpfrq;
  const int nvt = rq.nvt;
  SimConfig& cfg = sim_.cfg;
  cfg.smpfrq = smpfrq;
  cfg.simfrq = rq.simfrq();
  const SynthesisOptions& opt = rq.options;
  applySynthesisOptions(cfg, opt, nvt);
  if (opt.seed) sim_.seed_noise(*opt.seed);
  glottis_.setQuotients(opt.open_quotient, opt.close_quotient);

  // Nasal branch: coupling sections at the velum port area of each sample,
  // then the fixed nasal tract proper.
  std::vector<area_function> afnt;
  interpoMem memVelum, memPsub;
  const int nnc = static_cast<int>(opt.coupling_lengths_cm.size());
  if (opt.nasal_tract) {
    for (double x : opt.coupling_lengths_cm) afnt.push_back({0.0f, static_cast<float>(x)});
    for (const TubeSection& t : opt.nasal_sections)
      afnt.push_back({static_cast<float>(t.area_cm2), static_cast<float>(t.length_cm)});
    loadTrack(opt.velum, memVelum);
    sim_.afnt = afnt.data();
    sim_.nnt = static_cast<int>(afnt.size());
  }
  const bool psubTrack = !opt.Psub_track.empty();
  if (psubTrack) loadTrack(opt.Psub_track, memPsub);

  // Internal signals, through their own copies of the output filter.
  std::unique_ptr<SignalTap> tap;
  if (!rq.signals.empty()) {
    std::array<bool, static_cast<int>(NetworkSignal::Count)> wanted{};
    for (const std::string& name : rq.signals)
      wanted[static_cast<int>(findInternalSignal(name)->signal)] = true;
    tap = std::make_unique<SignalTap>(wanted);
  }

  // Scalar control tracks: glottal baseline area, pulse amplitude, F0.
  interpoMem memAg0, memAgP, memF0;
  loadTrack(rq.TAg0, memAg0);
  loadTrack(rq.TAgP, memAgP);
  loadTrack(rq.TF0, memF0);

  // Key frames of the area function: lengths, time, kind, frication source
  // and areas; with VCV the narrowest section of the frication frames.
  interpoMemVTAF vtaf;
  loadFrames(rq, vtaf);
  SynthesisResult out;
  if (rq.VCV) {
    out.nAcc = narrowestFricationSection(vtaf, nvt);
    char line[32];
    std::snprintf(line, sizeof line, "nAcc[%d]\n", *out.nAcc);
    out.printed += line;
  }

  std::vector<float> buffer;
  buffer.reserve(10000);
  std::vector<area_function> afvt;
  SimulatorRun run(sim_);
  glottis_.restart();

  // One output sample per pass.
  for (unsigned int j = 0;; ++j) {
    const float g0 = interpolX(j, &memAg0, smpfrq);
    const float gp = interpolX(j, &memAgP, smpfrq);
    const float f0 = interpolX(j, &memF0, smpfrq);
    // While F0 is in a kind-0 (voiceless) segment, the next pulse waits for its end.
    if (memF0.kind == 0) glottis_.holdUntil(memF0.segEnd);
    const GlottalSample g = glottis_.next(j, g0, gp, f0, smpfrq, rq.options.glottis);
    const float Ag = g.Ag;
    sim_.Ag = Ag;
    interpolVTAF(j, &vtaf, nvt, smpfrq, afvt, cfg.noiseSourceLoc);
    sim_.afvt = afvt.data();
    if (opt.nasal_tract) {
      const float port = opt.velum.empty() ? 0.0f : interpolX(j, &memVelum, smpfrq);
      for (int c = 0; c < nnc; ++c) afnt[c].A = port;
    }
    if (psubTrack) sim_.set_lung_pressure(interpolX(j, &memPsub, smpfrq));
    if (j == 0) {
      run.start();
      if (tap) {
        tap->begin(sim_.constants().deci);
        sim_.set_signal_tap(tap.get());
      }
    }
    const float s = sim_.vtt_sim();
    try {
      if (outputLimit_ != 0 && buffer.size() >= outputLimit_) throw std::bad_alloc();
      buffer.push_back(s);
    } catch (const std::bad_alloc&) {
      return refuse(out.printed,
                    "out of memory for " + std::to_string(std::size_t{j} + 1) + " output samples");
    }
    if (trace_) trace_(SampleTrace{j, g0, gp, f0, g.period, g.pulse, Ag, s});
    if (interrupted_ && (j & 0xFFFu) == 0xFFFu && interrupted_())
      return refuse(out.printed, kInterruptedError);
    if (memAg0.ended && memAgP.ended) break;
  }

  out.samples = std::move(buffer);
  if (tap) {
    for (const std::string& name : rq.signals)
      out.signals[name] = tap->samples(findInternalSignal(name)->signal);
  }
  return out;
}

}  // namespace vt
