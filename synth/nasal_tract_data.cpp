#include "synth/nasal_tract_data.h"

namespace vt {

std::vector<double> defaultCouplingLengths() { return {0.6, 0.6, 0.6}; }

std::vector<TubeSection> defaultNasalTract() {
  // data/nasal_tract.json, "sections" 4..19 (cm², cm).
  return {{3.59, 0.6}, {4.24, 0.6}, {3.26, 0.6}, {3.04, 0.6}, {3.04, 0.6}, {2.72, 0.6},
          {2.5, 0.6},  {2.39, 0.6}, {2.39, 0.6}, {1.85, 0.6}, {0.76, 0.6}, {1.41, 0.6},
          {1.74, 0.6}, {1.3, 0.6},  {1.74, 0.6}, {0.76, 0.6}};
}

std::vector<TubeSection> defaultTrachea() { return std::vector<TubeSection>(20, {3.0, 1.0}); }

}  // namespace vt
