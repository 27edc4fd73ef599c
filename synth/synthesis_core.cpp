#include "synth/synthesis_core.h"

#include <climits>
#include <cstdio>
#include <new>
#include <string>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "artic/interpo_mem.h"
#include "artic/interpolVTAF.h"
#include "artic/interpolX.h"
#include "synth/gateway_config.h"

namespace vt {
namespace {

/// Double to int, truncated toward zero. Values outside the int range and NaN
/// give INT_MIN (what the x86 conversion yields), never undefined behaviour:
/// as a transition kind that selects "no law", as a noise location "keep".
int truncToInt(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT_MIN;
  return static_cast<int>(v);
}

/// Break points of one scalar control track from a 3×K matrix (time in ms,
/// value, transition kind per column).
void loadTrack(const ArgView& m, interpoMem& mem) {
  const std::size_t K = m.cols;
  mem.times.resize(K);
  mem.values.resize(K);
  mem.kinds.resize(K);
  for (std::size_t k = 0; k < K; ++k) {
    mem.times[k] = static_cast<float>(m.values[3 * k]);
    mem.values[k] = static_cast<float>(m.values[3 * k + 1]);
    mem.kinds[k] = truncToInt(m.values[3 * k + 2]);
  }
  mem.count = static_cast<int>(K);
  mem.ended = 0;
  mem.next = 0;
}

/// Runs vtt_term when the scope ends after vtt_ini, on every exit path.
class SimulatorRun {
 public:
  explicit SimulatorRun(Simulator& sim) : sim_(sim) {}
  ~SimulatorRun() {
    if (started_) sim_.vtt_term();
    sim_.afvt = nullptr;  // the call's area function is released next
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

SynthesisOutcome reject(std::string printed, std::string message) {
  SynthesisOutcome out;
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

SynthesisOutcome QuorvelSession::synthesize(int nlhs, int nrhs, const ArgView* args) {
  try {
    return run(nlhs, nrhs, args);
  } catch (const std::bad_alloc&) {
    // Every per-call array has been released by the unwinding; the session
    // (configuration, pulse state, noise) is intact for the next call.
    return reject("", "out of memory while synthesising");
  }
}

SynthesisOutcome QuorvelSession::run(int nlhs, int nrhs, const ArgView* args) {
  // 1. Argument counts, shapes and values; sets smpfrq, simfrq and VCV. The
  //    loop below relies on what it accepts: 1..40 sections, at least one key
  //    frame, enough areas and lengths, break points on increasing samples.
  CheckOutcome chk = CheckArguments(nlhs, nrhs, args, rates_);
  sim_.cfg.smpfrq = rates_.smpfrq;
  sim_.cfg.simfrq = rates_.simfrq;
  if (chk.status != 0) {
    return reject(std::move(chk.printed), std::move(chk.error));
  }
  std::string printed = std::move(chk.printed);

  const ArgView& nss = args[0];
  const ArgView& TAg0 = args[1];
  const ArgView& TAgP = args[2];
  const ArgView& TF0 = args[3];
  const ArgView& TAF1 = args[4];
  const ArgView& TAF2 = args[5];
  const ArgView& dx = args[6];
  const float smpfrq = rates_.smpfrq;

  const int nvt = truncToInt(nss.values[0]);
  const std::size_t F = TAF1.cols;
  // 2. The configuration this synthesiser runs with.
  SimConfig& cfg = sim_.cfg;
  forceGatewayConfig(cfg, nvt);

  // 3. Scalar control tracks: glottal baseline area, pulse amplitude, F0.
  interpoMem memAg0, memAgP, memF0;
  loadTrack(TAg0, memAg0);
  loadTrack(TAgP, memAgP);
  loadTrack(TF0, memF0);

  // 4./5. Key frames of the area function: section lengths, time, kind,
  //    frication source section and areas; VCV: narrowest section.
  interpoMemVTAF vtaf;
  vtaf.count = static_cast<int>(F);
  vtaf.dxFrames.assign(F, std::vector<float>(nvt));
  vtaf.areaFrames.assign(F, std::vector<float>(nvt));
  vtaf.times.resize(F);
  vtaf.kinds.resize(F);
  vtaf.noiseLocs.resize(F);
  const bool dxPerFrame = dx.rows == 1 && dx.cols == F;
  for (std::size_t m = 0; m < F; ++m) {
    for (int l = 0; l < nvt; ++l) {
      double x;
      if (dx.rows > 1) x = dx.values[m * nvt + l];
      else if (dxPerFrame) x = dx.values[m];
      else x = dx.values[0];
      vtaf.dxFrames[m][l] = static_cast<float>(x);
    }
  }
  int nAcc = 0;
  for (std::size_t m = 0; m < F; ++m) {
    vtaf.times[m] = static_cast<float>(TAF1.values[3 * m]);
    vtaf.kinds[m] = truncToInt(TAF1.values[3 * m + 1]);
    vtaf.noiseLocs[m] = truncToInt(TAF1.values[3 * m + 2]);
    std::vector<float>& area = vtaf.areaFrames[m];
    for (int l = 0; l < nvt; ++l) area[l] = static_cast<float>(TAF2.values[m * nvt + l]);
    if (rates_.VCV != 0 && vtaf.noiseLocs[m] >= 0) {
      // Narrowest section of the frame; ties go to the section nearer the lips.
      float minA = 999.0f;
      for (int l = 0; l < nvt; ++l) {
        if (area[l] <= minA) {
          minA = area[l];
          nAcc = l;
        }
      }
    }
  }
  if (rates_.VCV != 0) {
    char line[32];
    std::snprintf(line, sizeof line, "nAcc[%d]\n", nAcc);
    printed += line;
  }

  // 7. Loop set-up.
  std::vector<float> buffer;
  buffer.reserve(10000);
  std::vector<area_function> afvt;
  SimulatorRun run(sim_);
  unsigned int nextPeriodStart = 0;
  int period = 0;
  float prevAg = 0.0f;

  // 8. One output sample per pass.
  for (unsigned int j = 0;; ++j) {
    const float g0 = interpolX(j, &memAg0, smpfrq);
    const float gp = interpolX(j, &memAgP, smpfrq);
    const float f0 = interpolX(j, &memF0, smpfrq);
    // While F0 is in a kind-0 (voiceless) segment, the next pulse waits for its end.
    if (memF0.kind == 0) nextPeriodStart = memF0.segEnd;
    if (j == nextPeriodStart) {
      if (f0 > 0.0f) {
        const double q = static_cast<double>(smpfrq) / static_cast<double>(f0) + 0.5;
        period = q < 2147483647.0 ? static_cast<int>(q) : INT_MAX;
      } else {
        period = 0;
      }
      nextPeriodStart += static_cast<unsigned int>(period);
    }
    const int periodGiven = period;
    const float pulse = glottis_.tick(gp, &period);
    // Glottal area = pulse + baseline, smoothed by a first-order low-pass of
    // unity DC gain: Ag = (0.8·Ag_prev + raw) / 1.8.
    float Ag = pulse + g0;
    Ag = static_cast<float>((0.8 * prevAg + Ag) / 1.8);
    prevAg = Ag;
    sim_.Ag = Ag;
    interpolVTAF(j, &vtaf, nvt, smpfrq, afvt, cfg.noiseSourceLoc);
    sim_.afvt = afvt.data();
    if (j == 0) run.start();
    const float s = sim_.vtt_sim();
    try {
      if (outputLimit_ != 0 && buffer.size() >= outputLimit_) throw std::bad_alloc();
      buffer.push_back(s);
    } catch (const std::bad_alloc&) {
      return reject(printed, "out of memory for " + std::to_string(std::size_t{j} + 1) +
                                 " output samples");
    }
    if (trace_) trace_(SampleTrace{j, g0, gp, f0, periodGiven, pulse, Ag, s});
    if (memAg0.ended && memAgP.ended) break;
  }

  SynthesisOutcome out;
  out.printed = std::move(printed);
  out.samples = std::move(buffer);
  return out;
}

}  // namespace vt
