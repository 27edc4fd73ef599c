#include "artic/four_tube_af.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace vt {

namespace {

/// Difference of two positions, cm, exact in extended precision.
long double span(float to, float from) {
  return static_cast<long double>(to) - static_cast<long double>(from);
}

/// S + len·A (len in cm, A in cm²) formed in extended precision and rounded
/// once to float, as every partial sum of a section's area is.
float addShare(float S, long double len, float A) {
  return static_cast<float>(static_cast<long double>(S) + len * static_cast<long double>(A));
}

}  // namespace

void FourTubeAF(area_function t1, area_function t2, area_function t3, area_function t4,
                int nvt, area_function* afvt) {
  const area_function tube[4] = {t1, t2, t3, t4};
  if (nvt <= 0) {
    throw std::invalid_argument("FourTubeAF: the number of sections must be at least 1, got " +
                                std::to_string(nvt));
  }
  if (afvt == nullptr) throw std::invalid_argument("FourTubeAF: no output area function");
  for (int k = 0; k < 4; ++k) {
    if (!std::isfinite(tube[k].x) || tube[k].x < 0.0f) {
      throw std::invalid_argument("FourTubeAF: the length of tube " + std::to_string(k + 1) +
                                  " must be a finite number of cm, 0 or more");
    }
  }

  // Tube ends T[k] along the tract, each sum rounded to float; T[3] = L.
  float T[4];
  float end = 0.0f;
  for (int k = 0; k < 4; ++k) {
    end = end + tube[k].x;
    T[k] = end;
  }
  const float L = T[3];
  const float d = L / static_cast<float>(nvt);

  float Q = 0.0f;  // start of section j, cm
  for (int j = 0; j < nvt; ++j) {
    const float E = Q + d;  // end of section j, cm
    afvt[j].x = d;
    // First tube whose end reaches the section's start. Only rounding of the
    // section positions over very many sections can carry a start past L;
    // such a section lies in the last tube.
    int k = 0;
    while (k < 4 && !(T[k] >= Q)) ++k;
    if (k == 4) {
      afvt[j].A = tube[3].A;
    } else if (T[k] >= E) {
      afvt[j].A = tube[k].A;  // inside tube k
    } else if (k == 3) {
      afvt[j].A = tube[3].A;  // starts in the last tube, ends past L by rounding
    } else {
      // Crosses tube ends: the share of tube k, whole tubes, the share of the last tube.
      float S = addShare(0.0f, span(T[k], Q), tube[k].A);
      for (int m = k + 1; m < 4; ++m) {
        if (T[m] >= E || m == 3) {
          S = addShare(S, span(E, T[m - 1]), tube[m].A);
          break;
        }
        S = addShare(S, tube[m].x, tube[m].A);
      }
      afvt[j].A = S / d;
    }
    Q = E;
  }
}

}  // namespace vt
