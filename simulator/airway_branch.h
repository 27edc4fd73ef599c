#pragma once

#include <vector>

#include "records/area_function.h"
#include "simulator/acoustic_elements.h"
#include "simulator/td_acoustic_elements.h"
#include "simulator/td_linear_equation.h"

namespace vt {

/// The parts of the airway that are chains of tube sections.
enum class BranchKind : int {
  Trachea,  ///< below the glottis (aftr, fixed)
  Glottis,  ///< the glottal slit, one section
  Main,     ///< vocal tract from the glottis to the lips, or to the velum with the nasal branch
  Mouth,    ///< velum to lips (nasal branch on)
  NasalCoupling,  ///< velum (coupling) sections at the entrance of the nasal branch
  NasalProper,    ///< nasal tract proper up to the nostrils (fixed)
};

/// One airway branch: its tube sections, their per-step increments, the lumped
/// elements of its junctions and sections, and the equation rows it writes.
/// Element k lies on row first_row + 2k (junction k) and, for k >= 1, on row
/// first_row + 2k - 1 (section k-1); the outlet junction row is shared with
/// the inlet of a branch that follows in the same system.
struct AirwayBranch {
  AirwayBranch(BranchKind k, TubeKind t) : kind(k), tube(t) {}

  BranchKind kind = BranchKind::Main;
  TubeKind tube = kTubeVocal;            ///< element and wall model of the sections
  std::vector<area_function> af;         ///< current sections, cm² and cm
  std::vector<area_function> daf;        ///< per-step increments (empty: the branch is fixed)
  std::vector<td_acoustic_elements> ac;  ///< sections() + 1 element records
  td_linear_equation* rows = nullptr;    ///< the equation system the branch writes
  int first_row = 1;                     ///< row of its inlet junction in that system

  /// Number of tube sections.
  int sections() const { return static_cast<int>(af.size()); }
  /// Row of the outlet junction.
  int last_row() const { return first_row + 2 * sections(); }
  /// Allocates n zeroed sections (with increments when `moving`) and their
  /// elements, writing rows from `first` on in `system`.
  void allocate(int n, bool moving, td_linear_equation* system, int first) {
    af.assign(n, area_function{});
    daf.assign(moving ? n : 0, area_function{});
    ac.assign(n + 1, td_acoustic_elements{});
    rows = system;
    first_row = first;
  }
  /// Releases the arrays.
  void release() {
    af = {};
    daf = {};
    ac = {};
    rows = nullptr;
  }
};

}  // namespace vt
