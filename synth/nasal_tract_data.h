#pragma once

#include <vector>

namespace vt {

/// One tube section of a fixed part of the airway.
struct TubeSection {
  double area_cm2 = 0.0;   ///< cross-sectional area, cm²
  double length_cm = 0.0;  ///< length, cm
  bool operator==(const TubeSection&) const = default;
};

/// Three velum coupling sections of 0.6 cm, which take the place of the first
/// three sections of the measured nasal tract (data/nasal_tract.json).
std::vector<double> defaultCouplingLengths();

/// The nasal tract proper of one adult (both passages together), from the
/// coupling end to the nostrils: the 16 sections of 0.6 cm of the measured
/// area function after the three replaced by the coupling sections
/// (Dang, Honda & Suzuki 1994, subject 1; data/nasal_tract.json). The last
/// section, 0.76 cm², is the nostril opening.
std::vector<TubeSection> defaultNasalTract();

/// The trachea below the glottis: 20 sections of 3 cm² × 1 cm.
std::vector<TubeSection> defaultTrachea();

}  // namespace vt
