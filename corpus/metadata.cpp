#include "corpus/metadata.h"

#include <nlohmann/json.hpp>

namespace vt {

using nlohmann::ordered_json;

std::string metadataLine(const MetadataRow& r) {
  ordered_json j;
  j["id"] = r.id.empty() ? ordered_json(nullptr) : ordered_json(r.id);
  j["index"] = r.index;
  j["line"] = r.line;
  j["status"] = r.ok ? "ok" : "failed";
  j["error"] = r.ok ? ordered_json(nullptr) : ordered_json(r.error);
  j["output"] = r.output.empty() ? ordered_json(nullptr) : ordered_json(r.output);
  j["samples"] = r.samples;
  j["fs"] = r.fs_Hz;
  j["duration"] = r.duration_s;
  j["peak"] = r.peak;
  j["rms"] = r.rms;
  j["nonfinite"] = r.nonfinite;
  j["cpu_seconds"] = r.cpu_s;
  j["score_sha256"] = r.scoreHash.empty() ? ordered_json(nullptr) : ordered_json(r.scoreHash);
  j["seed"] = r.seed ? ordered_json(*r.seed) : ordered_json(nullptr);
  j["version"] = r.version;
  // Invalid UTF-8 in a message (a file name, say) is replaced, never thrown on.
  return j.dump(-1, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

bool parseMetadataLine(const std::string& text, MetadataRow& r) {
  try {
    const ordered_json j = ordered_json::parse(text);
    auto str = [&](const char* k) {
      const auto& v = j.at(k);
      return v.is_null() ? std::string() : v.get<std::string>();
    };
    MetadataRow row;
    row.id = str("id");
    row.index = j.at("index").get<std::size_t>();
    row.line = j.at("line").get<std::size_t>();
    row.ok = j.at("status").get<std::string>() == "ok";
    row.error = str("error");
    row.output = str("output");
    row.samples = j.at("samples").get<std::size_t>();
    row.fs_Hz = j.at("fs").get<double>();
    row.duration_s = j.at("duration").get<double>();
    row.peak = j.at("peak").get<double>();
    row.rms = j.at("rms").get<double>();
    row.nonfinite = j.at("nonfinite").get<bool>();
    row.cpu_s = j.at("cpu_seconds").get<double>();
    row.scoreHash = str("score_sha256");
    if (!j.at("seed").is_null()) row.seed = j.at("seed").get<std::uint32_t>();
    row.version = j.at("version").get<std::string>();
    r = std::move(row);
    return true;
  } catch (const ordered_json::exception&) {
    return false;
  }
}

}  // namespace vt
