#include "artic/vtaf_file.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "artic/area_function_file_error.h"
#include "artic/token_reader.h"

namespace vt {

bool isConsonantFile(std::string_view path) {
  const std::size_t sep = path.find_last_of("/\\");
  const std::string_view base = sep == std::string_view::npos ? path : path.substr(sep + 1);
  return !base.empty() && stopConsonants.find(base.front()) != std::string_view::npos;
}

namespace {

VTAFContents parse(TokenReader& in, bool consonant, std::optional<int> expected) {
  VTAFContents c;
  c.label = in.word("the label");
  const int n = in.integer("the number of sections");
  if (expected && n != *expected) throw AreaFunctionFileError("Unexpected number of VT sections");
  if (n < 0) in.failAtLastToken("the number of sections must not be negative");
  // A section of no length has no acoustic meaning; a negative area none
  // either (a closure is an area of 0).
  const float dx = in.finiteReal("the section length (cm)", 0.0f, false);
  // Grown value by value, so a file announcing a huge count but holding few
  // values ends with a message instead of a huge allocation.
  c.sections.reserve(static_cast<std::size_t>(std::min(n, 1024)));
  for (int i = 0; i < n; ++i) {
    const std::string what =
        "the area of section " + std::to_string(i) + " of " + std::to_string(n) + " (cm2)";
    c.sections.push_back(area_function{in.finiteReal(what, 0.0f, true), dx});
  }
  if (consonant) {
    c.noiseSourceLoc =
        in.integer("the noise-source section (the file's name begins with one of the letters " +
                   std::string(stopConsonants) + ", which marks a consonant file)");
    if (*c.noiseSourceLoc < 0) in.failAtLastToken("the noise-source section must be 0 or more");
  }
  return c;
}

}  // namespace

VTAFContents readVTAFContents(std::string_view path, bool readNoiseSource,
                              std::optional<int> expectedSections) {
  const std::string p(path);
  std::string why;
  auto in = TokenReader::open(p, &why);
  if (!in) {
    throw AreaFunctionFileError("AF path, " + p +
                                (why.empty() ? ", not found" : ", cannot be read: " + why));
  }
  return parse(*in, readNoiseSource && isConsonantFile(path), expectedSections);
}

void readVTAF(std::string_view path, std::string& label, int n, area_function* af,
              int& noiseSourceLoc) {
  if (n > 0 && af == nullptr) throw std::invalid_argument("readVTAF: no output array");
  VTAFContents c = readVTAFContents(path, true, n);
  std::copy(c.sections.begin(), c.sections.end(), af);
  label = std::move(c.label);
  if (c.noiseSourceLoc) noiseSourceLoc = *c.noiseSourceLoc;
}

bool readVTAFalloc(std::string_view path, std::string& label, int& n,
                   std::vector<area_function>& af) {
  auto in = TokenReader::open(std::string(path));
  if (!in) return false;
  VTAFContents c = parse(*in, false, std::nullopt);
  n = static_cast<int>(c.sections.size());
  af = std::move(c.sections);
  label = std::move(c.label);
  return true;
}

}  // namespace vt
