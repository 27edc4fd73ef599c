#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "synth/check_arguments.h"
#include "synth/synthesis_options.h"

namespace vt {

/// A MATLAB-style double matrix: shape and column-major values.
struct ScoreMatrix {
  std::size_t rows = 0;
  std::size_t cols = 0;
  std::vector<double> values;  ///< element (r, c) at c·rows + r

  /// Matrix from its rows (all of one length).
  static ScoreMatrix fromRows(const std::vector<std::vector<double>>& rows);
  /// 1×1 matrix.
  static ScoreMatrix scalar(double v);
  /// Element (r, c).
  double at(std::size_t r, std::size_t c) const { return values[c * rows + r]; }
  /// View for the synthesis core; valid while this matrix lives.
  ArgView view() const { return ArgView{rows, cols, values.data()}; }
  bool operator==(const ScoreMatrix&) const = default;
};

/// The arguments of one quorvel call, as a score file holds them.
struct Score {
  ScoreMatrix nss;   ///< 1×1: number of vocal-tract sections
  ScoreMatrix TAg0;  ///< 3×K: glottal baseline area break points [ms; cm²; kind]
  ScoreMatrix TAgP;  ///< 3×K: glottal pulse amplitude break points [ms; cm²; kind]
  ScoreMatrix TF0;   ///< 3×K: F0 break points [ms; Hz; kind]
  ScoreMatrix TAF1;  ///< 3×F: key frames [ms; kind; frication source section]
  ScoreMatrix TAF2;  ///< nss×F: section areas of each key frame, cm²
  ScoreMatrix dx;    ///< 1×1, 1×F or nss×F: section lengths, cm
  bool hasFs = false;
  ScoreMatrix fs;  ///< 1×1: output sampling frequency, Hz
  bool hasVCV = false;
  ScoreMatrix VCV;  ///< 1×1: report the narrowest section of the frication frames
  std::vector<std::string> inputFiles;  ///< area-function files the frames were read from
  /// Optional "labels": one name per key frame (e.g. the sound it stands for);
  /// empty when the score has none. Not part of the call.
  std::vector<std::string> labels;
  /// The airway model ("model": nasal branch, trachea, walls, sources, rate);
  /// the defaults are quorvel's configuration.
  SynthesisOptions model;
  bool hasModel = false;  ///< the score has a "model" object
  /// Internal signals to return beside the pressure ("signals": names).
  std::vector<std::string> signals;

  /// The call's arguments in quorvel order (7, 8 or 9 of them). A VCV without
  /// fs gets the default output rate, 10000 Hz, in position 8.
  std::vector<ArgView> args() const;
  /// Output sampling frequency the call will use, Hz.
  double outputRate() const { return hasFs && !fs.values.empty() ? fs.values[0] : 10000.0; }
  bool operator==(const Score&) const = default;
};

/// Reads a score from JSON text. Each matrix is written as a list of its rows
/// ([[1,2],[3,4]]); a list of numbers is one row ([1,2,3] is 1×3); a bare number
/// is 1×1; [] is empty (0×0); [[],[],[]] is 3×0. The optional "TAF2_files"
/// lists per key frame a VT area-function file (or null) that supplies the
/// frame's areas and section length (synth/score_af_files.h); relative paths
/// are taken from baseDir. The optional "model" object sets the airway model
/// (synth/score_model.h) and "signals" lists internal signals. Returns false with a message naming
/// the field in err.
bool parseScore(const std::string& text, Score& out, std::string& err,
                const std::string& baseDir = "");

/// Reads a score from a parsed JSON document (the fields and checks of
/// parseScore). A document built in memory may hold non-finite numbers, which
/// JSON text cannot: they reach the argument check as they are.
bool scoreFromJson(const nlohmann::json& doc, Score& out, std::string& err,
                   const std::string& baseDir = "");

/// Reads a score file (see parseScore; area-function files are found from the
/// score's directory); err also covers unreadable files.
bool loadScore(const std::string& path, Score& out, std::string& err);

/// Writes a score as JSON, one matrix row per line, numbers in their shortest
/// exact form (parseScore gives back the same values).
std::string scoreToJson(const Score& score);

}  // namespace vt
