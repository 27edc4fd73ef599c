#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/tract_analysis.h"
#include "artic/vtaf_file.h"
#include "synth/analysis_commands.h"
#include "synth/nasal_branch_json.h"

namespace vt {

namespace {

const char* const kFormantsHelp = R"(quorvel formants - resonances of a vocal-tract area function

Usage:
  quorvel formants FILE [--count N] [--max-hz F] [--warp FS] [--glottal-area A]
                        [--nasal NASAL]

FILE is a VT area-function file (label, number of sections, section length
in cm, the areas in cm^2 from the glottis on). Prints one line per formant:
its number, frequency and bandwidth in Hz, of the network the synthesiser
simulates (yielding walls, lip radiation, viscous losses), driven by a
closed glottis (ideal volume-velocity source).

Options:
  -n, --count N      at most N formants (default 5)
  --max-hz F         only formants below F Hz (default 5000)
  --warp FS          as the trapezoidal rule at the simulation rate FS Hz sees
                     them (FS = 3 x the output rate in the synthesiser);
                     default: the continuous-time network
  --glottal-area A   load the source with an open glottis of A cm^2
  --nasal NASAL      couple a nasal branch at the velum: a JSON file, or the
                     JSON text itself, holding an object
                       {"areas": [cm^2, velum coupling first, nostrils last],
                        "lengths": cm (one number or one per section),
                        "branch_section": 9, "coupling_sections": 3,
                        "sinus": false}
                     (the last three optional; the FILE's sections before
                     branch_section form the pharynx); the antiresonances
                     (zeros of the radiated flow) follow the formants as
                     lines Z1, Z2, ...
  -h, --help         this text

Exit status: 0 on success, 1 when the file cannot be read or its values are
refused, 2 for wrong options.
)";

// The nasal branch from JSON text (first non-blank character '{' or '[') or a JSON file.
bool readNasal(const std::string& arg, analysis::NasalBranch& nb, std::string& msg) {
  std::string text = arg;
  const std::size_t first = arg.find_first_not_of(" \t\r\n");
  if (first == std::string::npos || (arg[first] != '{' && arg[first] != '[')) {
    std::ifstream f(arg, std::ios::binary);
    std::ostringstream all;
    if (f) all << f.rdbuf();
    if (!f) {
      msg = "cannot read the nasal-branch file \"" + arg + "\"";
      return false;
    }
    text = all.str();
  }
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    msg = "\"" + arg + "\" is not valid JSON";
    return false;
  }
  return nasalBranchFromJson(doc, nb, msg);
}

}  // namespace

int runFormantsCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"quorvel formants", "quorvel formants"};
  app.set_help_flag();
  std::string path, nasalText;
  int count = 5;
  double maxHz = 5000, warp = 0, area = 0;
  bool help = false;
  app.add_option("file", path);
  app.add_option("-n,--count", count);
  app.add_option("--max-hz", maxHz);
  auto* warpOpt = app.add_option("--warp", warp);
  auto* areaOpt = app.add_option("--glottal-area", area);
  auto* nasalOpt = app.add_option("--nasal", nasalText);
  app.add_flag("-h,--help", help);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    err << "quorvel formants: " << e.what() << "\n(quorvel formants --help for usage)\n";
    return 2;
  }
  if (help) {
    out << kFormantsHelp;
    return 0;
  }
  if (path.empty() || count < 1) {
    err << "quorvel formants: "
        << (path.empty() ? "an area-function file is needed" : "--count must be >= 1")
        << "\n(quorvel formants --help for usage)\n";
    return 2;
  }
  try {
    const VTAFContents af = readVTAFContents(path, false);
    analysis::AnalysisSetup setup;
    if (warpOpt->count() != 0) {
      setup.mapping = analysis::FrequencyMapping::Trapezoidal;
      setup.physics.simfrq = static_cast<float>(warp);
      if (!(std::isfinite(warp) && warp > 0 && maxHz < 0.5 * warp)) {
        err << "quorvel formants: --warp must be a rate above twice --max-hz\n";
        return 1;
      }
    }
    if (areaOpt->count() != 0) {
      setup.glottis = analysis::GlottisMode::Loaded;
      setup.glottal_area_cm2 = static_cast<float>(area);
    }
    std::optional<analysis::NasalBranch> nasal;
    if (nasalOpt->count() != 0) {
      std::string msg;
      analysis::NasalBranch nb;
      if (!readNasal(nasalText, nb, msg)) {
        err << "quorvel formants: --nasal: " << msg << "\n";
        return 1;
      }
      nasal = std::move(nb);
    }
    const analysis::TractAnalysis ta(af.sections, setup, nasal);
    auto F = ta.formants(maxHz);
    double length = 0;
    for (const area_function& s : af.sections) length += s.x;
    char line[96];
    std::snprintf(line, sizeof line, "# %s: %zu sections, %.3f cm\n", af.label.c_str(),
                  af.sections.size(), length);
    out << line << "formant frequency_Hz bandwidth_Hz\n";
    for (std::size_t k = 0; k < F.size() && k < static_cast<std::size_t>(count); ++k) {
      std::snprintf(line, sizeof line, "F%zu %.2f %.2f\n", k + 1, F[k].frequency_hz,
                    F[k].bandwidth_hz);
      out << line;
    }
    if (nasal) {
      const auto Z = ta.antiresonances(maxHz);
      for (std::size_t k = 0; k < Z.size() && k < static_cast<std::size_t>(count); ++k) {
        std::snprintf(line, sizeof line, "Z%zu %.2f %.2f\n", k + 1, Z[k].frequency_hz,
                      Z[k].bandwidth_hz);
        out << line;
      }
    }
  } catch (const std::exception& e) {
    err << "quorvel formants: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vt
