#include "corpus/manifest.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace vt {
namespace {

using nlohmann::json;

/// Reads one entry's fields; false with entry.error on the first problem.
bool readEntry(const std::string& lineText, const std::string& baseDir, ManifestEntry& e) {
  json doc;
  try {
    doc = json::parse(lineText);
  } catch (const json::exception& ex) {
    e.error = std::string("malformed JSON: ") + ex.what();
    return false;
  }
  if (!doc.is_object()) {
    e.error = "a manifest line must be a JSON object {\"id\": ..., \"score\": ...}";
    return false;
  }
  const auto id = doc.find("id");
  if (id == doc.end() || !id->is_string()) {
    e.error = "missing \"id\" (a string naming the utterance)";
    return false;
  }
  const std::string idText = id->get<std::string>();
  if (const std::string why = checkOutputName(idText + ".wav"); !why.empty()) {
    e.error = "id \"" + idText + "\" cannot name an output file: " + why;
    return false;
  }
  e.id = idText;
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    const std::string& k = it.key();
    if (k != "id" && k != "score" && k != "seed" && k != "output" && (k.empty() || k[0] != '_')) {
      e.error = "unknown field \"" + k + "\" (fields: id, score, seed, output)";
      return false;
    }
  }
  const auto score = doc.find("score");
  if (score == doc.end()) {
    e.error = "missing \"score\" (a score file name or a score object)";
    return false;
  }
  if (score->is_string()) {
    const std::filesystem::path p(score->get<std::string>());
    e.scorePath =
        (p.is_absolute() || baseDir.empty() ? p : std::filesystem::path(baseDir) / p).string();
  } else if (score->is_object()) {
    e.scoreText = score->dump();  // doubles in their shortest exact form
  } else {
    e.error = "\"score\" must be a file name or a score object";
    return false;
  }
  if (const auto seed = doc.find("seed"); seed != doc.end() && !seed->is_null()) {
    const bool inRange = (seed->is_number_unsigned() &&
                          seed->get<std::uint64_t>() <= std::numeric_limits<std::uint32_t>::max());
    if (!inRange) {
      e.error = "\"seed\" must be a whole number from 0 to 4294967295";
      return false;
    }
    e.seed = static_cast<std::uint32_t>(seed->get<std::uint64_t>());
  }
  e.output = e.id + ".wav";
  if (const auto out = doc.find("output"); out != doc.end()) {
    if (!out->is_string()) {
      e.error = "\"output\" must be a file name";
      return false;
    }
    e.output = out->get<std::string>();
    if (const std::string why = checkOutputName(e.output); !why.empty()) {
      e.error = "output \"" + e.output + "\": " + why;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string checkOutputName(const std::string& name) {
  if (name.empty() || name == ".wav") return "the name is empty";
  if (name.size() > 200) return "longer than 200 characters";
  for (unsigned char c : name) {
    if (c == '/' || c == '\\') return "it must be a plain file name, without directories";
    if (c < 0x20 || c == 0x7f) return "it holds a control character";
  }
  if (name[0] == '.') return "names starting with '.' are reserved for unfinished files";
  if (name.rfind("metadata", 0) == 0 && name.size() > 6 &&
      name.compare(name.size() - 6, 6, ".jsonl") == 0) {
    return "the name is reserved for the metadata";
  }
  return "";
}

Manifest parseManifest(const std::string& text, const std::string& baseDir) {
  Manifest m;
  m.baseDir = baseDir;
  std::set<std::string> ids, outputs;
  std::istringstream in(text);
  std::string lineText;
  for (std::size_t lineNo = 1; std::getline(in, lineText); ++lineNo) {
    if (!lineText.empty() && lineText.back() == '\r') lineText.pop_back();
    const auto first = lineText.find_first_not_of(" \t");
    if (first == std::string::npos || lineText[first] == '#') continue;
    ManifestEntry e;
    e.index = m.entries.size();
    e.line = lineNo;
    if (readEntry(lineText, baseDir, e)) {
      if (!ids.insert(e.id).second) {
        e.error = "id \"" + e.id + "\" is given on an earlier line";
        e.id.clear();  // its outputs belong to the earlier entry
      } else if (!outputs.insert(e.output).second) {
        e.error = "output \"" + e.output + "\" is written by an earlier line";
      }
    }
    if (!e.error.empty()) e.output.clear();
    m.entries.push_back(std::move(e));
  }
  return m;
}

bool readManifest(const std::string& path, Manifest& out, std::string& err) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    err = "cannot read the manifest \"" + path + "\": it is a directory";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    err = "cannot open the manifest \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) {
    err = "cannot read the manifest \"" + path + "\"";
    return false;
  }
  out = parseManifest(ss.str(), std::filesystem::path(path).parent_path().string());
  return true;
}

}  // namespace vt
