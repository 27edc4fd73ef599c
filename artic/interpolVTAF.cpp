#include "artic/interpolVTAF.h"

#include <algorithm>
#include <climits>

#include "artic/sample_index.h"

namespace vt {

namespace {

// Takes over key k's kind, frication source and sample as the end of the
// segment now starting. The source moves at the segment's start.
void loadKey(interpoMemVTAF* mem, int k, float smpfrq, int& noiseSourceLoc) {
  mem->kind = mem->kinds[k];
  if (mem->noiseLocs[k] >= 0) noiseSourceLoc = mem->noiseLocs[k];
  mem->next = k + 1;
  mem->segEnd = keyFrameSample(mem->times[k], smpfrq);
}

// Offset h (samples) truncated to int; offsets beyond the int range saturate.
int truncOffset(double h) {
  if (h <= static_cast<double>(INT_MIN)) return INT_MIN;
  if (h >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(h);
}

}  // namespace

void interpolVTAF(unsigned int n, interpoMemVTAF* mem, int nvt, float smpfrq,
                  std::vector<area_function>& afvt, int& noiseSourceLoc) {
  const int ns = std::clamp(nvt, 0, kMaxSections);

  if (n == 0) {
    mem->next = 0;
    if (mem->count <= 0) {
      mem->ended = 1;
      return;
    }
    // Before the first key and after a single key the tract keeps key 0's
    // shape: every law below evaluates to valueA/valueX with zero slopes.
    std::fill(std::begin(mem->slopeA), std::end(mem->slopeA), 0.0f);
    std::fill(std::begin(mem->slopeX), std::end(mem->slopeX), 0.0f);
    mem->duration = 0;
    mem->segStart = 0;
    afvt.assign(static_cast<std::size_t>(ns), area_function{});
    loadKey(mem, 0, smpfrq, noiseSourceLoc);
    const std::vector<float>& A0 = mem->areaFrames[0];
    const std::vector<float>& X0 = mem->dxFrames[0];
    for (int i = 0; i < ns; ++i) {
      mem->valueA[i] = A0[i];
      mem->valueX[i] = X0[i];
      afvt[i].A = A0[i];
      afvt[i].x = X0[i];
    }
  }

  if (n == mem->segEnd) {
    const int k = mem->next;
    if (k == mem->count) {
      // Last key reached: this sample keeps the previous sample's shape.
      mem->ended = 1;
      return;
    }
    const unsigned int oldEnd = mem->segEnd;
    const std::vector<float>& newA = mem->areaFrames[k];
    const std::vector<float>& newX = mem->dxFrames[k];
    loadKey(mem, k, smpfrq, noiseSourceLoc);
    mem->segStart = oldEnd;
    const double D = static_cast<double>(mem->segEnd) - static_cast<double>(oldEnd);
    switch (mem->kind) {
      case 0:
        for (int i = 0; i < ns; ++i) {
          mem->valueA[i] = newA[i];
          mem->valueX[i] = newX[i];
        }
        break;
      case 1:
        for (int i = 0; i < ns; ++i) {
          mem->slopeA[i] = static_cast<float>((newA[i] - mem->valueA[i]) / D);
          mem->slopeX[i] = static_cast<float>((newX[i] - mem->valueX[i]) / D);
          mem->valueA[i] = newA[i];
          mem->valueX[i] = newX[i];
        }
        break;
      case 2:
        for (int i = 0; i < ns; ++i) {
          mem->slopeA[i] = (newA[i] - mem->valueA[i]) / 2.0f;
          mem->slopeX[i] = (newX[i] - mem->valueX[i]) / 2.0f;
          mem->valueA[i] = newA[i];
          mem->valueX[i] = newX[i];
        }
        mem->duration = truncOffset(D);
        break;
      default:
        // Unknown kind: the key's areas and lengths are dropped; its time,
        // kind and frication source have taken effect.
        break;
    }
  }

  // Offset from the key ending the segment: -D at the segment's first sample.
  const double h = static_cast<double>(n) - static_cast<double>(mem->segEnd);
  if (afvt.size() < static_cast<std::size_t>(ns)) return;
  switch (mem->kind) {
    case 1:
      for (int i = 0; i < ns; ++i) {
        afvt[i].A = static_cast<float>(mem->valueA[i] + h * mem->slopeA[i]);
        afvt[i].x = static_cast<float>(mem->valueX[i] + h * mem->slopeX[i]);
      }
      break;
    case 2: {
      // c runs from -1 at the segment's first sample to 1 at its key.
      const long double c = coscos(truncOffset(h), mem->duration);
      for (int i = 0; i < ns; ++i) {
        afvt[i].A = static_cast<float>((c - 1.0L) * mem->slopeA[i] + mem->valueA[i]);
        afvt[i].x = static_cast<float>((c - 1.0L) * mem->slopeX[i] + mem->valueX[i]);
      }
      break;
    }
    default:
      // Hold (0) or unknown kind: the tract stays as last written.
      break;
  }
}

}  // namespace vt
