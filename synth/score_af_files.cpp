#include "synth/score_af_files.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "artic/area_function_file_error.h"
#include "artic/interpo_mem.h"
#include "artic/vtaf_file.h"

namespace vt {

bool applyAreaFunctionFiles(const std::vector<std::optional<std::string>>& files,
                            const std::string& baseDir, bool haveTAF2, bool haveDx, Score& s,
                            std::string& err) {
  const std::size_t F = files.size();
  if (s.TAF1.cols != F) {
    err = "TAF2_files: " + std::to_string(F) + (F == 1 ? " entry" : " entries") +
          ", but TAF1 has " + std::to_string(s.TAF1.cols) + " key frames";
    return false;
  }
  const double nssValue = s.nss.values.size() == 1 ? s.nss.values[0] : 0.0;
  if (!(nssValue >= 1.0 && nssValue < kMaxSections + 1.0)) {
    err = "TAF2_files: nss must be a number of sections from 1 to " + std::to_string(kMaxSections);
    return false;
  }
  const std::size_t nss = static_cast<std::size_t>(nssValue);  // truncated, as quorvel does
  const bool allFiles =
      std::all_of(files.begin(), files.end(), [](auto& f) { return f.has_value(); });
  if ((!haveTAF2 || !haveDx) && !allFiles) {
    err = std::string(haveTAF2 ? "dx" : "TAF2") +
          ": missing; it may be left out only when every key frame has a file in TAF2_files";
    return false;
  }
  if (!haveTAF2) s.TAF2 = ScoreMatrix{nss, F, std::vector<double>(nss * F)};
  if (s.TAF2.rows != nss || s.TAF2.cols != F) {
    err = "TAF2: with TAF2_files it must be nss x F (" + std::to_string(nss) + " x " +
          std::to_string(F) + ")";
    return false;
  }
  if (!haveDx) s.dx = ScoreMatrix{1, F, std::vector<double>(F)};
  if (s.dx.rows == 1 && s.dx.cols == 1)
    s.dx = ScoreMatrix{1, F, std::vector<double>(F, s.dx.values[0])};
  if (s.dx.cols != F || (s.dx.rows != 1 && s.dx.rows != nss)) {
    err = "dx: with TAF2_files it must be 1 x 1, 1 x F or nss x F";
    return false;
  }

  for (std::size_t m = 0; m < F; ++m) {
    if (!files[m]) continue;
    std::filesystem::path path(*files[m]);
    if (path.is_relative() && !baseDir.empty()) path = std::filesystem::path(baseDir) / path;
    const std::string where = "TAF2_files entry " + std::to_string(m + 1) + ": ";
    VTAFContents c;
    try {
      c = readVTAFContents(path.string(), false);
    } catch (const AreaFunctionFileError& e) {
      err = where + e.what();
      return false;
    }
    if (c.sections.size() != nss) {
      err = where + path.string() + ": Unexpected number of VT sections (the file holds " +
            std::to_string(c.sections.size()) + ", nss is " + std::to_string(nss) + ")";
      return false;
    }
    s.inputFiles.push_back(path.string());
    for (std::size_t r = 0; r < nss; ++r) s.TAF2.values[m * nss + r] = c.sections[r].A;
    const double dx = c.sections[0].x;
    std::fill_n(s.dx.values.begin() + static_cast<std::ptrdiff_t>(m * s.dx.rows), s.dx.rows, dx);
  }
  return true;
}

}  // namespace vt
