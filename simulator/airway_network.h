#pragma once

#include <vector>

#include "simulator/airway_branch.h"
#include "simulator/element_laws.h"
#include "simulator/sim_config.h"
#include "simulator/td_linear_equation.h"

namespace vt {

/// The airway network of one run: its branches and the tridiagonal systems
/// they write. The pharynx system `eq` runs from the lungs (row 0) through
/// the trachea (when present), the glottis and the main branch to the lip
/// radiation row, or to the velum node when the nasal branch is present; the
/// mouth system `eqbu` runs from the velum to the lip radiation row and the
/// nasal system `eqnt` through the coupling sections and the nasal tract
/// proper to the nostril radiation row. Both outer systems end in a seed row
/// (elimCoef 1) past their radiation row for the backward elimination.
struct AirwayNetwork {
  AirwayBranch trachea{BranchKind::Trachea, kTubeTrachea};
  AirwayBranch glottis{BranchKind::Glottis, kTubeGlottis};
  AirwayBranch main{BranchKind::Main, kTubeVocal};
  AirwayBranch mouth{BranchKind::Mouth, kTubeVocal};
  AirwayBranch coupling{BranchKind::NasalCoupling, kTubeNasal};
  AirwayBranch nasal{BranchKind::NasalProper, kTubeNasal};
  /// The branches of this run in flow order: [trachea,] glottis, main
  /// [, mouth, nasal coupling, nasal tract proper]. This list is the layout.
  std::vector<AirwayBranch*> layout;
  std::vector<td_linear_equation> eq, eqbu, eqnt;  ///< pharynx, mouth and nasal systems
  law::RadiationLoad lips, nostrils;                ///< radiation loads of the openings

  AirwayNetwork() = default;
  AirwayNetwork(const AirwayNetwork&) = delete;
  AirwayNetwork& operator=(const AirwayNetwork&) = delete;

  /// Allocates the zeroed branches and systems for the switches of cfg
  /// (trachea with cfg.subGLTsystem 1, nasal branch with cfg.nasal_tract 1 and
  /// nnt nasal sections, cfg.nnc of them coupling sections).
  void build(const SimConfig& cfg, int nnt);
  /// Releases every array.
  void release();

  bool has_trachea() const { return !trachea.ac.empty(); }
  bool has_nasal() const { return !nasal.ac.empty(); }
  /// The branch that ends at the lips.
  const AirwayBranch& lip_branch() const { return has_nasal() ? mouth : main; }
  AirwayBranch& lip_branch() { return has_nasal() ? mouth : main; }

  /// Last section row of eq, before its last junction.
  int n2() const { return n3() - 1; }
  /// Last junction row of eq (the lips, or the junction into the velum node).
  int n3() const { return main.last_row(); }
  /// Closing row of eq: the lip radiation row, or the velum node.
  int n4() const { return n3() + 1; }
  /// Lip junction and lip radiation row of the mouth system.
  int nbu3() const { return mouth.last_row(); }
  int nbu4() const { return nbu3() + 1; }
  /// Nostril junction and nostril radiation row of the nasal system.
  int nnt3() const { return nasal.last_row(); }
  int nnt4() const { return nnt3() + 1; }
};

}  // namespace vt
