#include "synth/quorvel_cli.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "quorvel_version.h"
#include "synth/analysis_commands.h"
#include "synth/default_utterance.h"
#include "synth/internal_signals.h"
#include "synth/nonfinite_report.h"
#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"
#include "synth/wav_writer.h"

namespace vt {

namespace {

const char* const kHelpText = R"(quorvel - articulatory speech synthesis from a score to a WAV file

Usage:
  quorvel [SCORE.json] [-o OUT.wav] [--pcm16] [--normalize | --raw | --gain G]
          [--allow-nonfinite]
          [--signals NAME[,NAME...]]
  quorvel --print-score        print the built-in /asa/ score (a template)
  quorvel batch MANIFEST -o OUTDIR [...]   a whole corpus (quorvel batch --help)
  quorvel --help | --version

Without SCORE the built-in utterance /asa/ (0.7 s at 10 kHz) is synthesised
into quorvel-demo.wav (or OUT.wav). With SCORE the output defaults to the
score's name with the extension .wav.

Options:
  -o, --output FILE  sound file to write (mono, at the score's fs); the
                     extension selects the format: .wav, .flac (24-bit,
                     FLAC holds integers only) or .aiff; others are refused
  --pcm16            16-bit PCM instead of 32-bit float; samples beyond
                     +-1.0 are clipped and counted on stderr
  --normalize        scale so that the largest magnitude becomes 0.9
                     (the default)
  --raw              write the samples unscaled (sound pressure in dyn/cm^2)
  --gain G           multiply the samples by G (not 0) before writing
  --allow-nonfinite  write the file even when the simulation diverged and
                     samples are NaN or infinite (a failure otherwise)
  --signals NAMES    also write internal signals of the network, each as a
                     32-bit float WAV of raw values named OUT.NAME.wav, at the
                     output rate and aligned with the pressure (through the
                     same decimation filter):
@SIGNALS@  --print-score      write the built-in score as JSON to stdout and exit
  -h, --help         this text
  --version          print the release number and exit

The synthesiser computes the radiated sound pressure in dyn/cm^2 (at 100 cm
from the lips; speech peaks are around 1), exactly as the Octave/MATLAB
function quorvel returns it. By default the WAV file is peak-normalised to
0.9 so that it plays at a good level without clipping; the factor used is
printed. --raw keeps the pressure values (the float WAV then holds exactly
what quorvel returns, as single-precision numbers); --gain G applies one
fixed factor, which keeps the levels of several files comparable.

Score format (JSON object; the arguments of quorvel(nss, TAg0, TAgP, TF0,
TAF1, TAF2, dx, fs, VCV)):
  nss   number of vocal-tract sections, 1..40 (truncated toward zero)
  TAg0  3 x K  glottal baseline area break points: [times ms; areas cm^2; kinds]
  TAgP  3 x K  glottal pulse amplitude break points: [ms; cm^2; kinds]
  TF0   3 x K  fundamental frequency break points: [ms; Hz; kinds]
  TAF1  3 x F  key frames: [times ms; kinds; frication source junction]
               (the source sits that many junctions downstream of the
               narrowest section; a negative value keeps the previous one)
  TAF2  nss x F  section areas in cm^2, column m = key frame m,
               first row next to the glottis, last row at the lips; an
               area of 0 or less is a closure (the network takes 0.001)
  dx    section lengths in cm, above 0 and at most 100: 1 x 1 (all),
        1 x F (per frame) or nss x F; a row of another length gives its
        first value to every section
  fs    optional, output sampling frequency in Hz (default 10000)
  VCV   optional, nonzero: print "nAcc[i]", the narrowest section of the
        LAST key frame whose source junction is >= 0 (not necessarily the
        fricative's constriction; fs defaults to 10000 if absent)
  TAF2_files  optional, one entry per key frame: the path of a VT
        area-function file (relative to the score's directory) or null.
        A file gives its frame's areas (column of TAF2) and section length
        (frame of dx) and must hold nss sections; TAF2 and dx may be left
        out when every frame has a file. The file holds white-space
        separated: label, number of sections, section length in cm, the
        areas in cm^2 from the glottis on (anything after is ignored);
        examples/asa_files.json takes its frames from such files.
  model  optional, the airway model (without it, or with only defaults,
        the samples are quorvel's bit for bit; README "The airway model"):
    nasal: {branch_section (9), coupling_lengths [cm...] (0.6 x 3),
            tract [[cm^2, cm], ...] (published adult nasal tract),
            velum [[ms...], [port area cm^2...], [kinds...]] (closed),
            sinus true/false or {volume cm^3 (25), neck_area cm^2 (0.1),
                                 neck_length cm (0.5), position (7)}}
           present = nasal branch on
    trachea: true or {sections [[cm^2, cm], ...]} (20 x 3 cm^2 x 1 cm)
    walls: true/false or {on, resistance (1600 dyn s/cm^3), mass (1.5
           g/cm^2), stiffness (3e5 dyn/cm^3), trachea_resistance (500),
           trachea_mass (0.3), trachea_stiffness (1e6)}
    wall_radiation: true adds the wall vibration to the output (false)
    dynamic_term: true lets area changes inject volume velocity (false)
    Psub: lung pressure in cm H2O, a number (8) or a break-point track
    glottis: "fant"/"halvane" or {model, open_quotient, close_quotient}
    noise: true/false or {on (true), gain (1), seed (never seeded)}
    oversampling: simulation steps per output sample (3)
  signals  optional, list of internal signal names (as --signals)
Kinds: 0 = zero (tracks) / hold (key frames), 1 = linear, 2 = cosine.
Break points lie on sample trunc(t * fs / 1000); the synthesis ends at the
last break point of TAg0 or TAgP, whichever is later.

Each matrix is written as a list of its rows, as in MATLAB: a 3 x K matrix
is three lists of K numbers. A list of numbers is one row ([1, 2, 3] is
1 x 3, the same as [[1, 2, 3]]); a bare number is 1 x 1; [] is empty.
Fields whose names start with "_" are ignored (comments).

Example (a 0.3 s vowel, 17 sections of 1 cm):
  {
    "nss": 17,
    "TAg0": [[0, 300], [0.05, 0.05], [1, 1]],
    "TAgP": [[0, 50, 250, 300], [0, 0.2, 0.2, 0], [1, 2, 1, 2]],
    "TF0":  [[0, 300], [130, 110], [1, 1]],
    "TAF1": [[0, 300], [1, 1], [1, 1]],
    "TAF2": [[1, 1], [1, 1], [1, 1], [1, 1], [1, 1], [1, 1], [1, 1], [1, 1],
             [1, 1], [2, 2], [3, 3], [4, 4], [5, 5], [5, 5], [5, 5], [4, 4],
             [3, 3]],
    "dx": 1,
    "fs": 16000
  }

Values must be finite numbers within single precision; glottal areas and
F0 are 0 or more. A track of one column is written as three rows of one
number each: [[0], [1], [-1]] (a flat list [0, 1, -1] is one row).

Exit status: 0 on success; 1 when the score is unreadable or rejected, the
output cannot be created (checked before the synthesis), the simulation
diverged (NaN or infinite samples, unless --allow-nonfinite) or the file
cannot be written (no output file is left behind; an output that names the
score or one of its area-function files is refused; SIGINT or SIGTERM
removes an unfinished file); 2 for wrong command-line options.
)";

}  // namespace

const char* quorvelCliHelp() {
  static const std::string text = [] {
    std::string t = kHelpText;
    t.replace(t.find("@SIGNALS@"), 9, internalSignalHelp("                       "));
    return t;
  }();
  return text.c_str();
}

namespace {

/// Output file for a score: its name with the extension .wav.
std::string defaultOutputFor(const std::string& scorePath) {
  std::filesystem::path p(scorePath);
  p.replace_extension(".wav");
  return p.string();
}

/// For a refusal of a 3-row argument written as one flat list (a list of
/// numbers is one row): how to write it as three rows of one column each.
std::string oneColumnHint(const Score& s, const std::string& error) {
  const std::pair<const char*, const ScoreMatrix*> tracks[] = {
      {"TAg0", &s.TAg0}, {"TAgP", &s.TAgP}, {"TF0", &s.TF0}, {"TAF1", &s.TAF1}};
  for (const auto& [name, m] : tracks) {
    if (m->rows != 1 || m->cols != 3 ||
        error.find(std::string(name) + " must have 3 rows") == std::string::npos)
      continue;
    std::ostringstream h;
    h << " A single column is written as three rows of one number each: \"" << name << "\": [["
      << m->values[0] << "], [" << m->values[1] << "], [" << m->values[2]
      << "]] (a flat list is one row).";
    return h.str();
  }
  return {};
}

/// The file of internal signal name beside the pressure file outPath:
/// <stem>.<name>.wav.
std::string signalFilePath(const std::string& outPath, const std::string& name) {
  std::filesystem::path stem(outPath);
  stem.replace_extension();
  return stem.string() + "." + name + ".wav";
}

/// Writes each internal signal of the result as a float WAV of raw values
/// next to the pressure file. Empty when all are written, else why not.
std::string writeSignalFiles(const SynthesisResult& res, const std::string& outPath, int fs,
                             std::ostream& out) {
  for (const auto& [name, values] : res.signals) {
    const std::string path = signalFilePath(outPath, name);
    const WavWriteResult w = writeWavFile(path, values, fs, WavEncoding::Float32, 1.0f);
    if (!w.ok) return w.error;
    out << "quorvel: wrote " << name << " (" << findInternalSignal(name)->unit << ", raw) to "
        << path << "\n";
  }
  return {};
}

}  // namespace

int runQuorvelCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  if (argc > 1 && std::string(argv[1]) == "formants")
    return runFormantsCommand(argc - 1, argv + 1, out, err);
  if (argc > 1 && std::string(argv[1]) == "tracks")
    return runTracksCommand(argc - 1, argv + 1, out, err);
  CLI::App app{"quorvel - articulatory speech synthesis", "quorvel"};
  app.set_help_flag();  // --help prints the full text below, not CLI11's summary
  std::string scorePath, outPath;
  bool pcm16 = false, normalize = false, raw = false, help = false, printScore = false,
       version = false, allowNonFinite = false;
  double gain = 1.0;
  app.add_option("score", scorePath, "JSON score");
  auto* outOpt = app.add_option("-o,--output", outPath, "WAV file");
  app.add_flag("--pcm16", pcm16);
  auto* gainOpt = app.add_option("--gain", gain);
  auto* normOpt = app.add_flag("--normalize", normalize);
  auto* rawOpt = app.add_flag("--raw", raw);
  gainOpt->excludes(normOpt)->excludes(rawOpt);
  normOpt->excludes(rawOpt);
  app.add_flag("-h,--help", help);
  app.add_flag("--print-score", printScore);
  app.add_flag("--version", version);
  app.add_flag("--allow-nonfinite", allowNonFinite);
  std::vector<std::string> signalNames;
  app.add_option("--signals", signalNames)->delimiter(',');
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    err << "quorvel: " << e.what() << "\n(quorvel --help for usage)\n";
    return 2;
  }
  if (help) {
    out << quorvelCliHelp();
    return 0;
  }
  if (version) {
    out << "quorvel " << kQuorvelVersion << "\n";
    return 0;
  }
  if (printScore) {
    out << scoreToJson(defaultUtterance());
    return 0;
  }
  if (outOpt->count() != 0 && outPath.empty()) {  // -o "" would fall back to the default name
    err << "quorvel: -o needs a file name\n(quorvel --help for usage)\n";
    return 2;
  }
  if (!std::isfinite(static_cast<float>(gain))) {  // applied in single precision
    err << "quorvel: --gain must be a finite number within single precision (below 3.4e38)\n";
    return 2;
  }
  if (gainOpt->count() != 0 && static_cast<float>(gain) == 0.0f) {  // a file of silence
    err << "quorvel: --gain 0 would write silence; give a factor other than 0\n";
    return 2;
  }

  // Every error from here on names the program and the score.
  const std::string who =
      "quorvel: " + (scorePath.empty() ? std::string("built-in score") : scorePath) + ": ";
  auto fail = [&](std::string msg) {
    if (!scorePath.empty() && msg.rfind(scorePath + ": ", 0) == 0)
      msg.erase(0, scorePath.size() + 2);
    if (msg.rfind("quorvel: ", 0) == 0) msg.erase(0, 9);
    err << who << msg << "\n";
    return 1;
  };
  Score score;
  if (scorePath.empty()) {
    score = defaultUtterance();
    if (outPath.empty()) outPath = "quorvel-demo.wav";
  } else {
    std::string msg;
    if (!loadScore(scorePath, score, msg)) return fail(msg);
    if (outPath.empty()) outPath = defaultOutputFor(scorePath);
  }
  // Writing the WAV over the score or one of its area-function files would
  // destroy the user's input.
  std::vector<std::string> inputs = score.inputFiles;
  if (!scorePath.empty()) inputs.push_back(scorePath);
  for (const std::string& in : inputs) {
    std::error_code ec;
    if (std::filesystem::equivalent(outPath, in, ec)) {
      return fail("the output file \"" + outPath + "\" is the input file \"" + in +
                  "\"; writing it would replace it, so nothing was written");
    }
  }

  // A WAV file stores a whole number of samples per second. Rates that are
  // no frequency at all (empty, <= 0, not finite) get the argument check's message.
  const double fs = score.outputRate();
  if (score.hasFs && !score.fs.values.empty() && fs > 0.0 && std::isfinite(fs) &&
      !(fs >= 1.0 && fs <= 2147483647.0 && std::floor(fs) == fs)) {
    std::ostringstream m;
    m << "fs = " << std::setprecision(17) << fs
      << " Hz cannot be written to a WAV file: it must be a whole number of Hz"
         " from 1 to 2147483647";
    return fail(m.str());
  }
  // The output must be creatable before the work starts: a directory that is
  // missing or not writable, a device or an unknown extension failed only
  // after the whole synthesis.
  if (std::string why = checkSoundFileTarget(outPath); !why.empty()) return fail(why);

  for (const std::string& name : signalNames)
    if (std::find(score.signals.begin(), score.signals.end(), name) == score.signals.end())
      score.signals.push_back(name);
  // The signal files too must be creatable before the work starts.
  for (const std::string& name : score.signals) {
    if (!findInternalSignal(name)) continue;  // refused with the list of names below
    if (std::string why = checkSoundFileTarget(signalFilePath(outPath, name)); !why.empty())
      return fail(why);
  }
  SynthesisRequest request;
  const CheckOutcome chk = requestFromScore(score, request);
  SynthesisOutcome res;
  if (chk.status != 0) {
    res.status = chk.status;
    res.printed = chk.printed;
    res.error = chk.error;
  } else {
    Synthesizer synth;
    // The samples and their scaled copy take 8 bytes per sample, and so
    // does every internal signal.
    synth.setOutputLimit(outputLimitForMemory(8 + 4 * request.signals.size()));
    res = synth.synthesize(request);
  }
  out << res.printed;
  if (res.status != 0) return fail(res.error + oneColumnHint(score, res.error));

  // A diverged network is a failure, not a file of NaN: no file unless asked for.
  const NonFiniteReport bad = findNonFinite(res.samples);
  if (bad.count != 0) {
    const std::string what = describeNonFinite(bad, res.samples.size(), fs);
    if (!allowNonFinite) {
      return fail(what +
                  "; nothing was written. Likely causes: areas that swing by a large "
                  "factor within a few samples, F0 far above speech on a closed glottis, or "
                  "track ends that extrapolate into either (README \"Numerical limits\"); "
                  "--allow-nonfinite writes the file anyway");
    }
    err << who << "warning: " << what << "\n";
  }
  float peak = 0.0f;
  for (float v : res.samples) {
    if (std::isfinite(v)) peak = std::max(peak, std::fabs(v));
  }
  // Scale: --raw 1, --gain G, otherwise peak normalisation to 0.9.
  float g = 1.0f;
  if (gainOpt->count() != 0)
    g = static_cast<float>(gain);
  else if (!raw && peak > 0.0f)
    g = 0.9f / peak;

  const WavEncoding enc = pcm16 ? WavEncoding::Pcm16 : WavEncoding::Float32;
  // Float samples scaled beyond single precision would be infinite in the
  // file (integer encodings clip them instead).
  if (enc == WavEncoding::Float32 && soundFileFormatFor(outPath) != SoundFileFormat::Flac &&
      std::isinf(peak * std::fabs(g))) {
    std::ostringstream m;
    m << "--gain " << g << " scales the peak of " << peak
      << " beyond single precision (3.4e38): the float file would hold infinite samples, so "
         "nothing was written; give a smaller --gain";
    return fail(m.str());
  }
  WavWriteResult w = writeWavFile(outPath, res.samples, static_cast<int>(fs), enc, g);
  if (!w.ok) return fail(w.error);
  if (w.clipped != 0) {
    err << who << "warning: " << w.clipped << " of " << res.samples.size()
        << " samples clipped to +-1.0 in the " << w.encoding << " file (peak "
        << peak * std::fabs(g) << "); leave out --raw/--gain or use a smaller --gain\n";
  }
  out << "quorvel: wrote " << res.samples.size() << " samples ("
      << static_cast<double>(res.samples.size()) / fs << " s at " << fs << " Hz, " << w.encoding
      << ", scaled by " << g << ") to " << outPath << "\n";
  if (std::string why = writeSignalFiles(res, outPath, static_cast<int>(fs), out); !why.empty())
    return fail(why);
  return 0;
}

}  // namespace vt
