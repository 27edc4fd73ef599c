#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "fileio/staged_output.h"
#include "synth/analysis_commands.h"
#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/utterance_tracks.h"

namespace vt {

namespace {

const char* const kTracksHelp = R"(quorvel tracks - per-frame ground truth of a score's utterance

Usage:
  quorvel tracks SCORE [-o TRACKS.csv] [--every MS] [--textgrid [FILE]]

Synthesises SCORE (the same tracks, glottal pulses, area-function
interpolation and network as the audio) and writes one CSV line per frame:
time_ms, F0_Hz (F0 track), Ag_cm2 (glottal area), Psub_cmH2O (lung
pressure), F1_Hz, B1_Hz .. F5_Hz, B5_Hz (resonances of the frame's area
function with a closed glottis, as the simulation rate sees them, below half
the output rate; empty when fewer), narrowest_section and
narrowest_area_cm2 (the constriction), frication_junction (the junction that
receives the frication noise; -1 when none).

Options:
  -o, --output FILE   CSV file (default: the score's name with .csv)
  --every MS          frame step in ms (default 5)
  --textgrid [FILE]   also write a Praat TextGrid of the key frames named by
                      the score's "labels" field (one label per key frame;
                      default file: the score's name with .TextGrid)
  -h, --help          this text

Exit status: 0 on success, 1 when the score is unreadable or refused or a
file cannot be written (nothing is left behind), 2 for wrong options.
)";

std::string withExtension(const std::string& path, const char* ext) {
  std::filesystem::path p(path);
  p.replace_extension(ext);
  return p.string();
}

}  // namespace

int runTracksCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"quorvel tracks", "quorvel tracks"};
  app.set_help_flag();
  std::string scorePath, csvPath, gridPath;
  double every = 5.0;
  bool help = false;
  app.add_option("score", scorePath);
  app.add_option("-o,--output", csvPath);
  app.add_option("--every", every);
  auto* gridOpt = app.add_option("--textgrid", gridPath)->expected(0, 1);
  app.add_flag("-h,--help", help);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    err << "quorvel tracks: " << e.what() << "\n(quorvel tracks --help for usage)\n";
    return 2;
  }
  if (help) {
    out << kTracksHelp;
    return 0;
  }
  if (scorePath.empty()) {
    err << "quorvel tracks: a score file is needed\n(quorvel tracks --help for usage)\n";
    return 2;
  }
  if (!(std::isfinite(every) && every > 0)) {
    err << "quorvel tracks: --every must be a number of ms > 0\n";
    return 2;
  }
  Score score;
  std::string msg;
  if (!loadScore(scorePath, score, msg)) {
    err << "quorvel tracks: " << msg << "\n";
    return 1;
  }
  const bool grid = gridOpt->count() != 0;
  if (grid && score.labels.empty()) {
    err << "quorvel tracks: --textgrid needs a \"labels\" field in the score (one label per key "
           "frame)\n";
    return 1;
  }
  if (csvPath.empty()) csvPath = withExtension(scorePath, ".csv");
  if (grid && gridPath.empty()) gridPath = withExtension(scorePath, ".TextGrid");
  std::vector<std::string> inputs = score.inputFiles;
  inputs.push_back(scorePath);
  for (const std::string& o : {csvPath, gridPath})
    for (const std::string& in : inputs)
      if (!o.empty() && sameFile(o, in)) {
        err << "quorvel tracks: the output file \"" << o << "\" is the input file \"" << in
            << "\"; nothing was written\n";
        return 1;
      }

  SynthesisRequest request;
  const CheckOutcome checked = requestFromScore(score, request);
  if (checked.status != 0) {
    err << "quorvel tracks: " << checked.error << "\n";
    return 1;
  }
  double duration = 0;
  const std::vector<TrackFrame> frames = utteranceTracks(request, every, msg, &duration);
  if (!msg.empty()) {
    err << "quorvel tracks: " << msg << "\n";
    return 1;
  }
  try {
    writeWholeFile(csvPath, tracksCsv(frames));
    if (grid) {
      writeWholeFile(gridPath, keyFrameTextGrid(request, score.labels, duration));
    }
  } catch (const std::exception& e) {
    err << "quorvel tracks: " << e.what() << "\n";
    return 1;
  }
  out << "quorvel tracks: wrote " << frames.size() << " frames to " << csvPath
      << (grid ? " and the key frames to " + gridPath : std::string()) << "\n";
  return 0;
}

}  // namespace vt
