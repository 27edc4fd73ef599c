#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/area_function.h"

namespace vt {

// VT area-function file: white-space separated tokens (line breaks carry no
// meaning) holding
//   label  number-of-sections  section-length(cm)  area_0 … area_{n-1}(cm²)
// followed, in files whose base name begins with a frication consonant
// (one of "dfghjkpqstvxz", case-sensitive), by the noise-source section.
// Anything after the last value read is ignored.

/// Letters that mark a consonant file, whose file carries a noise-source section.
inline constexpr std::string_view stopConsonants = "dfghjkpqstvxz";

/// True when the file's base name (after the last '/' or '\') begins with one
/// of stopConsonants. A base name beginning with '.' or an empty one is not a
/// consonant file.
bool isConsonantFile(std::string_view path);

/// Contents of one VT area-function file.
struct VTAFContents {
  std::string label;                    ///< first word of the file
  std::vector<area_function> sections;  ///< {area cm², common section length cm}, glottis end first
  std::optional<int> noiseSourceLoc;    ///< noise-source section of a consonant file
};

/// Reads the area-function file at path; with readNoiseSource, a consonant
/// file must also carry its noise-source section. With expectedSections, a
/// file announcing another number of sections is refused before its values
/// are read. Throws AreaFunctionFileError: "AF path, <path>, not found" when
/// there is no such file, "AF path, <path>, cannot be read: <reason>" when it
/// exists but cannot be read; a section length that is not above 0, an area
/// or noise-source section below 0 or a value that is not finite is refused; "Unexpected number of
/// VT sections"; or, for malformed contents, a message naming the file, the token number, the line
/// and the value expected there.
VTAFContents readVTAFContents(std::string_view path, bool readNoiseSource,
                              std::optional<int> expectedSections = std::nullopt);

/// Reads the area function of n sections at path into af[0..n-1] and the label;
/// for a consonant file also the noise-source section into noiseSourceLoc
/// (otherwise noiseSourceLoc is left as it is). The caller's path is not
/// modified. Throws AreaFunctionFileError: "AF path, <path>, not found";
/// "Unexpected number of VT sections" when the file holds another number of
/// sections; or a malformed-file message. On error nothing
/// is written to label, af or noiseSourceLoc.
void readVTAF(std::string_view path, std::string& label, int n, area_function* af,
              int& noiseSourceLoc);

/// Reads the area-function file at path with however many sections it holds:
/// label, n = the number of sections and af = the sections. No noise-source
/// section is read. Returns false, leaving everything unchanged, when the file
/// cannot be opened; throws AreaFunctionFileError for malformed contents.
bool readVTAFalloc(std::string_view path, std::string& label, int& n,
                   std::vector<area_function>& af);

}  // namespace vt
