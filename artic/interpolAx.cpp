#include "artic/interpolAx.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "artic/sample_index.h"
#include "artic/tube_key_file.h"

namespace vt {

namespace {

/// π with the six decimals the track's rate has always used.
constexpr double kPi6 = 3.141593;

}  // namespace

area_function interpolAx(unsigned int n, interpoMemTube* mem, float smpfrq) {
  if (mem == nullptr) throw std::invalid_argument("interpolAx: no track record");
  if (n == 0) {
    if (!std::isfinite(smpfrq) || smpfrq <= 0.0f) {
      throw std::invalid_argument("interpolAx: the sampling frequency must be finite and > 0 Hz");
    }
    std::vector<TubeKey> keys = readTubeKeys(mem->fileName, smpfrq);
    mem->keys = std::move(keys);
    mem->count = static_cast<int>(mem->keys.size());
    mem->next = 0;
    mem->ended = 0;
    if (mem->count <= 0) {
      mem->ended = 1;
      return afNull;
    }
    const TubeKey& first = mem->keys[0];
    mem->valueA = first.A;
    mem->valueX = first.x;
    mem->next = 1;
    mem->segEnd = keyFrameSample(first.t, smpfrq);
  }

  if (n == mem->segEnd) {
    const int available = static_cast<int>(mem->keys.size());
    if (mem->next >= mem->count || mem->next >= available || mem->next < 0) {
      mem->ended = 1;
      return area_function{mem->valueA, mem->valueX};
    }
    const TubeKey& key = mem->keys[static_cast<std::size_t>(mem->next)];
    mem->slopeA = (key.A - mem->valueA) / 2;
    mem->slopeX = (key.x - mem->valueX) / 2;
    mem->next += 1;
    const unsigned int oldEnd = mem->segEnd;
    mem->segStart = oldEnd;
    mem->valueA = key.A;
    mem->valueX = key.x;
    mem->kind = 2;
    mem->segEnd = keyFrameSample(key.t, smpfrq);
    const double D = static_cast<double>(mem->segEnd) - static_cast<double>(oldEnd);
    mem->omega = static_cast<float>(kPi6 / D);
  }

  const double h = static_cast<double>(n) - static_cast<double>(mem->segEnd);
  switch (mem->kind) {
    case 1:
      return area_function{static_cast<float>(mem->valueA + h * mem->slopeA),
                           static_cast<float>(mem->valueX + h * mem->slopeX)};
    case 2: {
      const double c = std::cos(h * mem->omega) - 1.0;
      return area_function{static_cast<float>(c * mem->slopeA + mem->valueA),
                           static_cast<float>(c * mem->slopeX + mem->valueX)};
    }
    default:
      return afNull;
  }
}

}  // namespace vt
