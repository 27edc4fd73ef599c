// quorvel._core: scores (the arguments of one call) between numpy and the
// synthesiser's score reader, so that a dict and a JSON file pass the same
// checks and are refused with the same messages.

#include <nlohmann/json.hpp>

#include "binding_support.h"
#include "synth/default_utterance.h"

namespace vt::python {
namespace {

using nlohmann::json;

const char* const kMatrixFields[] = {"nss",  "TAg0", "TAgP", "TF0", "TAF1",
                                     "TAF2", "dx",   "fs",   "VCV"};

/// A plain Python value (None, bool, int, float, str, list, tuple, dict with
/// string keys) as JSON, numbers kept exactly: the fields that are no matrix.
json jsonOfPython(const py::handle& v, const std::string& where) {
  if (v.is_none()) return nullptr;
  if (py::isinstance<py::bool_>(v)) return v.cast<bool>();
  if (py::isinstance<py::int_>(v)) {
    try {
      return v.cast<long long>();
    } catch (const py::cast_error&) {
      return v.cast<double>();  // beyond 64 bits: as the JSON reader would take it
    }
  }
  if (py::isinstance<py::float_>(v)) return v.cast<double>();
  if (py::isinstance<py::str>(v)) return v.cast<std::string>();
  if (py::isinstance<py::dict>(v)) {
    json o = json::object();
    for (const auto& [k, x] : v.cast<py::dict>()) {
      if (!py::isinstance<py::str>(k)) throw py::type_error(where + ": keys must be strings");
      const std::string key = k.cast<std::string>();
      o[key] = jsonOfPython(x, where + "." + key);
    }
    return o;
  }
  if (py::isinstance<py::list>(v) || py::isinstance<py::tuple>(v)) {
    json a = json::array();
    for (const auto& x : v) a.push_back(jsonOfPython(x, where));
    return a;
  }
  throw py::type_error(where + ": expected numbers, strings, true/false, lists or dicts, got " +
                       std::string(py::str(py::type::of(v).attr("__name__"))));
}

/// A JSON document of a score's fields: each matrix as a list of its rows,
/// numbers (also non-finite ones) as they are; other fields (model, signals,
/// labels) as given.
json documentOfFields(const py::dict& fields) {
  json doc = json::object();
  for (const auto& [k, v] : fields) {
    const std::string key = py::str(k);
    if (key == "TAF2_files") {
      json files = json::array();
      for (const auto& f : v) {
        if (f.is_none())
          files.push_back(nullptr);
        else
          files.push_back(fileName(py::cast<std::string>(f), "TAF2_files entry"));
      }
      doc[key] = std::move(files);
      continue;
    }
    if (!py::isinstance<py::array>(v)) {  // model, signals, labels: as JSON holds them
      doc[key] = jsonOfPython(v, key);
      continue;
    }
    const ScoreMatrix m = matrixFromArray(v, key.c_str());
    json rows = json::array();
    for (std::size_t r = 0; r < m.rows; ++r) {
      json row = json::array();
      for (std::size_t c = 0; c < m.cols; ++c) row.push_back(m.at(r, c));
      rows.push_back(std::move(row));
    }
    // [] is 0×0, as in a score file; 0 rows of any width is empty too.
    doc[key] = std::move(rows);
  }
  return doc;
}

/// The fields of a score as numpy arrays; "fs" and "VCV" only when given.
py::dict fieldsOfScore(const Score& s) {
  // Matrices only: the Python side keeps a score's model, signal list and
  // labels as the file writes them (quorvel.Score.load).
  py::dict d;
  const ScoreMatrix* ms[] = {&s.nss,  &s.TAg0, &s.TAgP, &s.TF0, &s.TAF1,
                             &s.TAF2, &s.dx,   &s.fs,   &s.VCV};
  for (std::size_t i = 0; i < 9; ++i) {
    if (i == 7 && !s.hasFs) continue;
    if (i == 8 && !s.hasVCV) continue;
    d[kMatrixFields[i]] = arrayFromMatrix(*ms[i]);
  }
  py::list files;
  for (const std::string& f : s.inputFiles) files.append(f);
  d["input_files"] = files;
  return d;
}

py::dict loadScoreFile(const std::string& path) {
  Score s;
  std::string err;
  bool ok;
  {
    py::gil_scoped_release unlocked;
    ok = loadScore(fileName(path, "the score file name"), s, err);
  }
  if (!ok) {
    // Unreadable files are file errors, contents the checks refuse are argument errors.
    if (err.rfind("cannot open score file", 0) == 0 || err.rfind("cannot read score file", 0) == 0)
      throw FileFailure(err);
    throw ArgumentRefused(err);
  }
  return fieldsOfScore(s);
}

}  // namespace

Score scoreOfFields(const py::dict& fields, const std::string& baseDir) {
  Score s;
  std::string err;
  if (!scoreFromJson(documentOfFields(fields), s, err, baseDir)) throw ArgumentRefused(err);
  return s;
}

void bindScore(py::module_& m) {
  m.def(
      "parse_fields",
      [](const py::dict& fields, const std::string& baseDir) {
        return fieldsOfScore(scoreOfFields(fields, baseDir));
      },
      py::arg("fields"), py::arg("base_dir") = "",
      "Checks score fields (2-D float64 arrays, TAF2_files a list of names or None) as a score "
      "file's and returns them completed (files applied, fs of a VCV call).");
  m.def("load_score", &loadScoreFile, py::arg("path"), "Reads a JSON score file.");
  m.def(
      "score_json", [](const py::dict& fields) { return scoreToJson(scoreOfFields(fields, "")); },
      py::arg("fields"), "The JSON text of a score.");
  m.def(
      "default_score", [] { return fieldsOfScore(defaultUtterance()); },
      "The built-in /asa/ score.");
}

}  // namespace vt::python
