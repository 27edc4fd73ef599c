#include "artic/four_tube_af.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace vt {

namespace {

/// a + b as the rounded sum s and its exact rounding error e: a + b = s + e.
void twoSum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bv = s - a;
  e = (a - (s - bv)) + (b - bv);
}

/// p + q + r, each exact in double, rounded once to float (nearest, ties to
/// even): the exact sum is carried as hi + rest, and rest only decides where
/// hi lies halfway between two floats.
float roundOnceToFloat(double p, double q, double r) {
  double s1, e1, s2, e2, s3, e3, hi, e4;
  twoSum(q, r, s1, e1);
  twoSum(p, s1, s2, e2);  // p + q + r = s2 + e2 + e1
  twoSum(e2, e1, s3, e3);
  twoSum(s2, s3, hi, e4);  // = hi + e4 + e3, the rest far below a float step of hi
  const double rest = e4 + e3;
  const float f = static_cast<float>(hi);
  if (rest == 0.0 || static_cast<double>(f) == hi) return f;
  const float g = std::nextafter(f, hi > f ? INFINITY : -INFINITY);
  if (hi - f != g - hi) return f;  // not halfway: hi's rounding is the sum's
  return (rest > 0.0) == (g > f) ? g : f;
}

/// Partial sum S (cm³) plus the share (to − from)·A of one tube, where to and
/// from are positions in cm and A an area in cm²: the whole expression is
/// formed exactly and rounded once to float. Float products are exact in
/// double, so S + to·A − from·A is a sum of three exact doubles.
float addShare(float S, float to, float from, float A) {
  const double a = A;
  return roundOnceToFloat(S, static_cast<double>(to) * a, -static_cast<double>(from) * a);
}

}  // namespace

void FourTubeAF(area_function t1, area_function t2, area_function t3, area_function t4, int nvt,
                area_function* afvt) {
  const area_function tube[4] = {t1, t2, t3, t4};
  if (nvt <= 0) return;  // no sections to fill
  if (afvt == nullptr) throw std::invalid_argument("FourTubeAF: no output area function");
  for (int k = 0; k < 4; ++k) {
    if (!std::isfinite(tube[k].x) || tube[k].x < 0.0f) {
      throw std::invalid_argument("FourTubeAF: the length of tube " + std::to_string(k + 1) +
                                  " must be a finite number of cm, 0 or more");
    }
    // A NaN or infinite area would spread into every section it overlaps.
    if (!std::isfinite(tube[k].A) || tube[k].A < 0.0f) {
      throw std::invalid_argument("FourTubeAF: the area of tube " + std::to_string(k + 1) +
                                  " must be a finite number of cm2, 0 or more");
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
  if (!std::isfinite(L)) {
    throw std::invalid_argument("FourTubeAF: the tubes' total length exceeds single precision");
  }
  const float d = L / static_cast<float>(nvt);

  // Mean area (cm²) of the section from Q to E (cm).
  auto sectionArea = [&](float Q, float E) -> float {
    // First tube whose end reaches the section's start. Only rounding of the
    // section positions over very many sections can carry a start past L;
    // such a section lies in the last tube.
    int k = 0;
    while (k < 4 && !(T[k] >= Q)) ++k;
    if (k == 4) return tube[3].A;
    if (T[k] >= E) return tube[k].A;  // inside tube k
    if (k == 3) return tube[3].A;     // starts in the last tube, ends past L by rounding
    // Crosses tube ends: the share of tube k, whole tubes, the share of the last tube.
    float S = addShare(0.0f, T[k], Q, tube[k].A);
    for (int m = k + 1; m < 4; ++m) {
      if (T[m] >= E || m == 3) {
        S = addShare(S, E, T[m - 1], tube[m].A);
        break;
      }
      S = addShare(S, tube[m].x, 0.0f, tube[m].A);
    }
    return S / d;
  };
  // A share (to - from)·A of a finite area beyond about 3.4e38/d cm²
  // overflows single precision and left infinite or NaN sections: every
  // section is formed once before any is written.
  float Q = 0.0f;  // start of section j, cm
  for (int j = 0; j < nvt; ++j) {
    const float E = Q + d;
    if (!std::isfinite(sectionArea(Q, E))) {
      throw std::invalid_argument("FourTubeAF: the mean area of section " + std::to_string(j + 1) +
                                  " exceeds single precision (a tube area times its share of"
                                  " the section above 3.4e38 cm3)");
    }
    Q = E;
  }
  Q = 0.0f;
  for (int j = 0; j < nvt; ++j) {
    const float E = Q + d;  // end of section j, cm
    afvt[j] = area_function{sectionArea(Q, E), d};
    Q = E;
  }
}

}  // namespace vt
