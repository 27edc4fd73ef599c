#include "synth/score_json.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "synth/score_af_files.h"
#include "synth/score_model.h"

namespace vt {
namespace {

using nlohmann::json;

const char* const kRequired[] = {"nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx"};
const char* const kOptional[] = {"fs", "VCV", "TAF2_files", "model", "signals", "labels"};

std::string typeName(const json& v) { return jsonTypeName(v); }

/// One JSON value as a matrix: number, list of numbers (one row) or list of rows.
bool toMatrix(const json& v, const std::string& name, ScoreMatrix& m, std::string& err) {
  if (v.is_number()) {
    m = ScoreMatrix::scalar(v.get<double>());
    return true;
  }
  if (!v.is_array()) {
    err = name + ": expected a number or a list of rows, got " + typeName(v);
    return false;
  }
  if (v.empty()) {
    m = ScoreMatrix{};
    return true;
  }
  std::vector<std::vector<double>> rows;
  if (v[0].is_number()) {
    // A flat list of numbers is one row, as [a b c] in MATLAB.
    std::vector<double> row;
    for (std::size_t c = 0; c < v.size(); ++c) {
      if (!v[c].is_number()) {
        err = name + ": entry " + std::to_string(c + 1) + " is " + typeName(v[c]) +
              "; a row must hold numbers only (write a matrix as a list of rows)";
        return false;
      }
      row.push_back(v[c].get<double>());
    }
    rows.push_back(std::move(row));
  } else {
    for (std::size_t r = 0; r < v.size(); ++r) {
      const json& jr = v[r];
      if (!jr.is_array()) {
        err = name + ": row " + std::to_string(r + 1) + " is " + typeName(jr) +
              "; a matrix is a list of rows, each a list of numbers";
        return false;
      }
      std::vector<double> row;
      for (std::size_t c = 0; c < jr.size(); ++c) {
        if (!jr[c].is_number()) {
          err = name + ": row " + std::to_string(r + 1) + ", entry " + std::to_string(c + 1) +
                " is " + typeName(jr[c]) + ", not a number";
          return false;
        }
        row.push_back(jr[c].get<double>());
      }
      if (r > 0 && row.size() != rows[0].size()) {
        err = name + ": row " + std::to_string(r + 1) + " has " + std::to_string(row.size()) +
              " numbers but row 1 has " + std::to_string(rows[0].size()) +
              "; all rows of a matrix must have the same length";
        return false;
      }
      rows.push_back(std::move(row));
    }
  }
  m = ScoreMatrix::fromRows(rows);
  return true;
}

void appendNumber(std::string& s, double v) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  s.append(buf, res.ptr);
}

void appendMatrix(std::string& s, const ScoreMatrix& m, const std::string& indent) {
  if (m.rows == 1 && m.cols == 1) {
    appendNumber(s, m.values[0]);
    return;
  }
  if (m.rows == 0) {
    s += "[]";
    return;
  }
  s += "[";
  for (std::size_t r = 0; r < m.rows; ++r) {
    if (m.rows > 1) s += "\n" + indent + "  ";
    s += "[";
    for (std::size_t c = 0; c < m.cols; ++c) {
      if (c) s += ", ";
      appendNumber(s, m.at(r, c));
    }
    s += "]";
    if (r + 1 < m.rows) s += ",";
  }
  if (m.rows > 1) s += "\n" + indent;
  s += "]";
}

/// The list of TAF2_files: a path or null per key frame.
bool toFileList(const json& v, std::vector<std::optional<std::string>>& files, std::string& err) {
  if (!v.is_array()) {
    err = "TAF2_files: expected a list of file names (or null), got " + typeName(v);
    return false;
  }
  for (std::size_t m = 0; m < v.size(); ++m) {
    if (v[m].is_null())
      files.emplace_back();
    else if (v[m].is_string()) {
      // A zero character ("\u0000") would cut the name short and open another file.
      std::string name = v[m].get<std::string>();
      if (name.find('\0') != std::string::npos) {
        err = "TAF2_files: entry " + std::to_string(m + 1) + " contains a zero character";
        return false;
      }
      files.emplace_back(std::move(name));
    } else {
      err = "TAF2_files: entry " + std::to_string(m + 1) + " is " + typeName(v[m]) +
            ", not a file name or null";
      return false;
    }
  }
  return true;
}

}  // namespace

bool parseScore(const std::string& text, Score& out, std::string& err, const std::string& baseDir) {
  json doc;
  // A field given twice would silently take its last value: refuse it.
  std::set<std::string> fields;
  std::string twice;
  const json::parser_callback_t noteField = [&](int depth, json::parse_event_t event,
                                                json& parsed) {
    if (event == json::parse_event_t::key && depth == 1 && twice.empty() &&
        !fields.insert(parsed.get<std::string>()).second) {
      twice = parsed.get<std::string>();
    }
    return true;
  };
  try {
    doc = json::parse(text, noteField);
  } catch (const json::exception& e) {  // also a number beyond double range
    err = std::string("malformed JSON: ") + e.what();
    return false;
  }
  if (!twice.empty()) {
    err = "field \"" + twice + "\" is given twice";
    return false;
  }
  return scoreFromJson(doc, out, err, baseDir);
}

bool scoreFromJson(const nlohmann::json& doc, Score& out, std::string& err,
                   const std::string& baseDir) {
  if (!doc.is_object()) {
    err =
        "a score must be a JSON object with the fields nss, TAg0, TAgP, TF0, TAF1, TAF2, dx "
        "(and optionally fs, VCV); got " +
        typeName(doc);
    return false;
  }
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    const std::string& key = it.key();
    bool known = !key.empty() && key[0] == '_';  // "_..." fields are comments
    for (const char* k : kRequired) known = known || key == k;
    for (const char* k : kOptional) known = known || key == k;
    if (!known) {
      err = "unknown field \"" + key +
            "\" (fields: nss, TAg0, TAgP, TF0, TAF1, TAF2, dx, fs, VCV, "
            "TAF2_files, model, signals, labels; names starting with _ are ignored)";
      return false;
    }
  }
  const auto filesIt = doc.find("TAF2_files");
  const bool withFiles = filesIt != doc.end();
  Score s;
  ScoreMatrix* dst[] = {&s.nss, &s.TAg0, &s.TAgP, &s.TF0, &s.TAF1, &s.TAF2, &s.dx};
  for (std::size_t i = 0; i < 7; ++i) {
    auto it = doc.find(kRequired[i]);
    if (it == doc.end() && withFiles && (dst[i] == &s.TAF2 || dst[i] == &s.dx)) continue;
    if (it == doc.end()) {
      err = std::string("missing field \"") + kRequired[i] + "\"";
      return false;
    }
    if (!toMatrix(*it, kRequired[i], *dst[i], err)) return false;
  }
  if (auto it = doc.find("fs"); it != doc.end()) {
    if (!toMatrix(*it, "fs", s.fs, err)) return false;
    s.hasFs = true;
  }
  if (auto it = doc.find("VCV"); it != doc.end()) {
    if (!toMatrix(*it, "VCV", s.VCV, err)) return false;
    s.hasVCV = true;
    if (!s.hasFs) {
      s.hasFs = true;  // the ninth argument needs an eighth: the default rate
      s.fs = ScoreMatrix::scalar(10000.0);
    }
  }
  if (auto it = doc.find("model"); it != doc.end()) {
    if (!parseModel(*it, s.model, err)) return false;
    s.hasModel = true;
  }
  if (auto it = doc.find("signals"); it != doc.end() && !parseSignalList(*it, s.signals, err))
    return false;
  if (withFiles) {
    std::vector<std::optional<std::string>> files;
    if (!toFileList(*filesIt, files, err) ||
        !applyAreaFunctionFiles(files, baseDir, doc.contains("TAF2"), doc.contains("dx"), s, err)) {
      return false;
    }
  }
  if (auto it = doc.find("labels"); it != doc.end()) {
    // One name per key frame (column of TAF1).
    if (!it->is_array() ||
        !std::all_of(it->begin(), it->end(), [](const json& v) { return v.is_string(); })) {
      err = "labels: expected a list of strings, one per key frame";
      return false;
    }
    if (it->size() != s.TAF1.cols) {
      err = "labels: " + std::to_string(it->size()) + " labels for " + std::to_string(s.TAF1.cols) +
            " key frames (TAF1 columns)";
      return false;
    }
    for (const json& v : *it) s.labels.push_back(v.get<std::string>());
  }
  out = std::move(s);
  return true;
}

bool loadScore(const std::string& path, Score& out, std::string& err) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    err = "cannot open score file \"" + path + "\": it is a directory";
    return false;
  }
  // A device such as /dev/zero never ends: only regular files and pipes are
  // read, and no more than any score needs.
  constexpr std::uintmax_t kMaxBytes = 1u << 30;
  const auto st = std::filesystem::status(path, ec);
  if (std::filesystem::is_character_file(st) || std::filesystem::is_block_file(st)) {
    err = "cannot read score file \"" + path + "\": it is a device, not a file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    err = "cannot open score file \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  std::ostringstream ss;
  char buf[65536];
  std::uintmax_t total = 0;
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    total += static_cast<std::uintmax_t>(in.gcount());
    if (total > kMaxBytes) {
      err = "cannot read score file \"" + path + "\": larger than 1 GiB";
      return false;
    }
    ss.write(buf, in.gcount());
  }
  if (in.bad()) {
    err = "cannot read score file \"" + path + "\"";
    return false;
  }
  if (!parseScore(ss.str(), out, err, std::filesystem::path(path).parent_path().string())) {
    err = path + ": " + err;
    return false;
  }
  return true;
}

std::string scoreToJson(const Score& score) {
  std::string s = "{\n";
  auto field = [&](const char* name, const ScoreMatrix& m, bool last) {
    s += "  \"";
    s += name;
    s += "\": ";
    appendMatrix(s, m, "  ");
    s += last ? "\n" : ",\n";
  };
  field("nss", score.nss, false);
  field("TAg0", score.TAg0, false);
  field("TAgP", score.TAgP, false);
  field("TF0", score.TF0, false);
  field("TAF1", score.TAF1, false);
  field("TAF2", score.TAF2, false);
  const bool labels = !score.labels.empty();
  field("dx", score.dx, !score.hasFs && !score.hasVCV && !labels);
  if (score.hasFs) field("fs", score.fs, !score.hasVCV && !labels);
  if (score.hasVCV) field("VCV", score.VCV, !labels);
  if (labels) s += "  \"labels\": " + json(score.labels).dump() + "\n";
  s += "}\n";
  return s;
}

}  // namespace vt
