#include "synth/nasal_branch_json.h"

#include <cmath>
#include <vector>

namespace vt {

namespace {

// A list of numbers (or one number when single is allowed) in out.
bool numbers(const nlohmann::json& v, const char* field, bool single, std::vector<double>& out,
             std::string& err) {
  out.clear();
  if (single && v.is_number()) {
    out.push_back(v.get<double>());
    return true;
  }
  if (!v.is_array()) {
    err = std::string("nasal.") + field + ": expected a list of numbers" +
          (single ? " or one number" : "");
    return false;
  }
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (!v[i].is_number()) {
      err = std::string("nasal.") + field + ": entry " + std::to_string(i + 1) + " is not a number";
      return false;
    }
    out.push_back(v[i].get<double>());
  }
  return true;
}

bool index(const nlohmann::json& v, const char* field, int& out, std::string& err) {
  const double d = v.is_number() ? v.get<double>() : NAN;
  if (!(std::isfinite(d) && d >= 0 && d <= 1e6 && std::floor(d) == d)) {
    err = std::string("nasal.") + field + ": expected a whole number >= 0";
    return false;
  }
  out = static_cast<int>(d);
  return true;
}

}  // namespace

bool nasalBranchFromJson(const nlohmann::json& doc, analysis::NasalBranch& out, std::string& err) {
  if (!doc.is_object()) {
    err =
        "nasal: expected an object with areas and lengths (cm², cm; velum first), optionally "
        "branch_section, coupling_sections and sinus";
    return false;
  }
  for (const auto& [key, value] : doc.items()) {
    if (key != "areas" && key != "lengths" && key != "branch_section" &&
        key != "coupling_sections" && key != "sinus") {
      err = "nasal: unknown field \"" + key +
            "\" (known: areas, lengths, branch_section, coupling_sections, sinus)";
      return false;
    }
  }
  if (!doc.contains("areas") || !doc.contains("lengths")) {
    err = std::string("nasal.") + (doc.contains("areas") ? "lengths" : "areas") +
          ": missing (the nasal branch needs areas in cm² and lengths in cm, velum first)";
    return false;
  }
  std::vector<double> A, x;
  if (!numbers(doc["areas"], "areas", false, A, err) ||
      !numbers(doc["lengths"], "lengths", true, x, err))
    return false;
  if (x.size() != 1 && x.size() != A.size()) {
    err = "nasal.lengths: one length or one per section (" + std::to_string(A.size()) + "), not " +
          std::to_string(x.size());
    return false;
  }
  analysis::NasalBranch nb;
  if (doc.contains("branch_section") &&
      !index(doc["branch_section"], "branch_section", nb.branch_section, err))
    return false;
  if (doc.contains("coupling_sections") &&
      !index(doc["coupling_sections"], "coupling_sections", nb.coupling_sections, err))
    return false;
  if (doc.contains("sinus")) {
    if (!doc["sinus"].is_boolean()) {
      err = "nasal.sinus: expected true or false";
      return false;
    }
    nb.sinus = doc["sinus"].get<bool>();
  }
  nb.sections.resize(A.size());
  for (std::size_t i = 0; i < A.size(); ++i)
    nb.sections[i] = {static_cast<float>(A[i]), static_cast<float>(x.size() == 1 ? x[0] : x[i])};
  out = std::move(nb);
  return true;
}

}  // namespace vt
