#include "artic/interpolX.h"

#include <cmath>

#include "artic/sample_index.h"

namespace vt {

namespace {

// Enters the segment that ends at break point i: takes its kind and sample and
// sets the law's coefficients from the previous break point's value.
void enterSegment(interpoMem* mem, int i, float smpfrq) {
  mem->kind = mem->kinds[i];
  mem->next = i + 1;
  mem->segStart = mem->segEnd;
  mem->segEnd = breakPointSample(mem->times[i], smpfrq);
  const double D = static_cast<double>(mem->segEnd) - static_cast<double>(mem->segStart);
  const float v = mem->values[i];
  switch (mem->kind) {
    case 0:
      mem->value = v;
      break;
    case 1:
      mem->slope = static_cast<float>((v - mem->value) / D);
      mem->value = v;
      break;
    case 2:
      mem->slope = (v - mem->value) / 2.0f;
      mem->omega = static_cast<float>(3.141593 / D);
      mem->value = v;
      break;
    default:
      // Unknown kind: the segment gives 0.0 and the next one starts from the
      // value that was current before it.
      break;
  }
}

}  // namespace

float interpolX(unsigned int n, interpoMem* mem, float smpfrq) {
  if (n == 0) {
    mem->next = 0;
    // Samples before a first break point that lies after sample 0, and after a
    // single break point, follow a kind-0 law: 0.0.
    mem->kind = 0;
    mem->slope = 0.0f;
    mem->omega = 0.0f;
    mem->segStart = 0;
    if (mem->count <= 0) {
      mem->ended = 1;
      return 0.0f;
    }
    mem->value = mem->values[0];
    mem->next = 1;
    mem->segEnd = breakPointSample(mem->times[0], smpfrq);
  }

  if (n == mem->segEnd) {
    if (mem->next == mem->count) {
      mem->ended = 1;
      return mem->value;
    }
    enterSegment(mem, mem->next, smpfrq);
  }

  // Offset from the ending break point: -D at the segment's first sample.
  const double X = static_cast<double>(n) - static_cast<double>(mem->segEnd);
  switch (mem->kind) {
    case 1:
      return static_cast<float>(mem->value + mem->slope * X);
    case 2: {
      const double phase = static_cast<double>(mem->omega) * X;
      return static_cast<float>(mem->value + mem->slope * (std::cos(phase) - 1.0));
    }
    default:
      return 0.0f;
  }
}

}  // namespace vt
