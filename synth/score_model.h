#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "synth/synthesis_options.h"

namespace vt {

/// What kind of JSON value v is, for messages ("a number", "a list", ...).
std::string jsonTypeName(const nlohmann::json& v);

/// Reads the "model" object of a score into options (starting from the
/// defaults, which give quorvel's samples bit for bit). Fields: nasal,
/// trachea, walls, wall_radiation, dynamic_term, Psub, glottis, noise,
/// oversampling (README "The airway model"). Returns false with a message
/// naming the field (model.nasal.velum, ...) for unknown fields and wrong
/// types; the values themselves are checked with the request (model_checks.h).
bool parseModel(const nlohmann::json& model, SynthesisOptions& options, std::string& err);

/// Reads the "signals" list of a score: names of internal signals.
bool parseSignalList(const nlohmann::json& list, std::vector<std::string>& names, std::string& err);

}  // namespace vt
