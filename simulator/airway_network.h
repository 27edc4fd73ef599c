#pragma once

#include <vector>

#include "simulator/airway_branch.h"
#include "simulator/element_laws.h"
#include "simulator/sim_config.h"
#include "simulator/td_linear_equation.h"

namespace vt {

/// Counts and row indices of a run, derived from its branches (a snapshot
/// for callers that think in the classic names; the branches hold the counts).
struct SimLayout {
  int nasal_tract = 0, subGLTsystem = 0;       ///< nasal branch / trachea present
  int ntr = 0, ntr1 = 0;                       ///< trachea sections / element records
  int nglt0 = 1, nglt1 = 2;                    ///< glottal sections / element records
  int nvt0 = 0, nvt1 = 0;                      ///< main-branch sections / element records
  int n0 = 0, n2 = 0, n3 = 0, n4 = 0, n5 = 0;  ///< eq: sections, last section row,
                                               ///< last junction, closing row, rows
  int nbu0 = 0, nbu1 = 0, nbu3 = 0, nbu4 = 0, nbu5 = 0, nbu6 = 0;  ///< mouth branch
  int nnc = 0, nnc1 = 0;                                ///< nasal coupling sections / records
  int nna0 = 0, nna1 = 0;                               ///< nasal tract proper sections / records
  int nnt = 0, nnt3 = 0, nnt4 = 0, nnt5 = 0, nnt6 = 0;  ///< whole nasal branch rows
};

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
  law::RadiationLoad lips, nostrils;               ///< radiation loads of the openings

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

  /// The counts and row indices of this run.
  SimLayout counts() const;

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
