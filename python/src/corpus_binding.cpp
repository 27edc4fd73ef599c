// quorvel._core: the corpus batch's utterance job for quorvel.dask, so that
// a task on a cluster worker writes the very files and metadata row that
// `quorvel batch` writes for the same manifest line.

#include <pybind11/stl.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "binding_support.h"
#include "corpus/batch_runner.h"
#include "corpus/manifest.h"
#include "corpus/metadata_log.h"
#include "corpus/program_version.h"
#include "corpus/utterance_job.h"
#include "corpus/worker_pool.h"
#include "synth/synthesizer.h"

namespace vt::python {
namespace {

/// A manifest entry as plain data (it travels to cluster workers by pickling).
py::dict entryDict(const ManifestEntry& e) {
  py::dict d;
  d["index"] = e.index;
  d["line"] = e.line;
  d["id"] = e.id;
  d["score_path"] = e.scorePath;
  d["score_text"] = e.scoreText;
  d["seed"] = e.seed ? py::object(py::int_(*e.seed)) : py::none();
  d["output"] = e.output;
  d["error"] = e.error;
  return d;
}

ManifestEntry entryOfDict(const py::dict& d) {
  ManifestEntry e;
  try {
    e.index = d["index"].cast<std::size_t>();
    e.line = d["line"].cast<std::size_t>();
    e.id = d["id"].cast<std::string>();
    e.scorePath = d["score_path"].cast<std::string>();
    e.scoreText = d["score_text"].cast<std::string>();
    if (!d["seed"].is_none()) e.seed = d["seed"].cast<std::uint32_t>();
    e.output = d["output"].cast<std::string>();
    e.error = d["error"].cast<std::string>();
  } catch (const py::error_already_set&) {
    throw py::value_error("entry: expected a manifest entry of quorvel._core.read_manifest");
  } catch (const py::cast_error&) {
    throw py::value_error("entry: expected a manifest entry of quorvel._core.read_manifest");
  }
  return e;
}

py::list readManifestEntries(const std::string& path) {
  const std::string name = fileName(path, "the manifest file name");
  Manifest manifest;
  std::string err;
  bool read = false;
  {
    py::gil_scoped_release unlocked;
    read = readManifest(name, manifest, err);
  }
  if (!read) throw FileFailure(err);
  py::list out;
  for (const ManifestEntry& e : manifest.entries) out.append(entryDict(e));
  return out;
}

void prepareDirectory(const std::string& outDir, const std::vector<std::string>& outputs,
                      const std::string& metadataName) {
  const std::string dir = fileName(outDir, "the output directory");
  std::vector<ManifestEntry> entries(outputs.size());
  std::vector<const ManifestEntry*> pointers;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    entries[i].output = outputs[i];
    pointers.push_back(&entries[i]);
  }
  std::string err;
  {
    py::gil_scoped_release unlocked;
    err = prepareOutputDirectory(dir, pointers, metadataName);
  }
  if (!err.empty()) throw FileFailure(err);
}

/// The metadata line (with its newline) of one utterance synthesised and
/// written into outDir as the batch command does it.
std::string runEntry(const py::dict& entry, const std::string& outDir,
                     const std::vector<std::string>& signals) {
  const ManifestEntry e = entryOfDict(entry);
  UtteranceSettings us;
  us.outDir = fileName(outDir, "the output directory");
  us.signals = signals;
  us.version = programVersion();
  py::gil_scoped_release unlocked;
  // As many utterances at once as there are cores, each within its share of the memory.
  us.outputLimit = outputLimitForMemory(4 * (1 + signals.size()) * workerCount(0));
  const PreparedUtterance p = prepareUtterance(e, us);
  const std::optional<MetadataRow> row = runUtterance(p, us);
  if (!row) throw std::runtime_error("the utterance was abandoned");  // no cancel is set
  return metadataLine(*row);
}

void writeMetadata(const std::string& path, const std::vector<std::string>& lines) {
  const std::string name = fileName(path, "the metadata file name");
  std::vector<MetadataRow> rows(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string text = lines[i];
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!parseMetadataLine(text, rows[i]))
      throw py::value_error("lines[" + std::to_string(i) + "]: not a metadata row");
  }
  try {
    py::gil_scoped_release unlocked;
    writeMetadataFile(name, rows);
  } catch (const std::exception& ex) {
    throw FileFailure(ex.what());
  }
}

}  // namespace

void bindCorpus(py::module_& m) {
  m.def("read_manifest", &readManifestEntries, py::arg("path"),
        "The utterances of a JSON Lines corpus manifest as dicts (index, line, id, score_path, "
        "score_text, seed, output, error); a line that cannot be used has its error set.");
  m.def("prepare_output_directory", &prepareDirectory, py::arg("outdir"), py::arg("outputs"),
        py::arg("metadata_name"),
        "Creates outdir and removes what a killed earlier run left staged there for these "
        "output names and the metadata file.");
  m.def("run_manifest_entry", &runEntry, py::arg("entry"), py::arg("outdir"), py::arg("signals"),
        "Synthesises one manifest entry with a fresh synthesiser, writes its files into outdir "
        "(complete or not at all) and returns its metadata line.");
  m.def("write_metadata", &writeMetadata, py::arg("path"), py::arg("lines"),
        "Replaces path by a metadata file of these rows (complete or not at all).");
}

}  // namespace vt::python
