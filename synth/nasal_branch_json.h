#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "analysis/analysis_setup.h"

namespace vt {

/// The nasal side branch of an analysis from its JSON description, the form
/// every front end takes (a JSON object on the command line, a struct in
/// Octave, a dict in Python):
///   {"areas": [cm², velum coupling first, nostrils last],
///    "lengths": cm (one number for all sections or one per section),
///    "branch_section": nbp (default 9), "coupling_sections": nnc (default 3),
///    "sinus": true/false (default false)}
/// Returns false with a message naming the field ("nasal.<field>: ...") in
/// err. The values' ranges (finite areas >= 0, lengths >= 0, branch and
/// coupling indices within the tracts) are checked by the analysis itself.
bool nasalBranchFromJson(const nlohmann::json& doc, analysis::NasalBranch& out, std::string& err);

}  // namespace vt
