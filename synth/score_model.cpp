#include "synth/score_model.h"

#include <cmath>
#include <initializer_list>

namespace vt {
namespace {

using nlohmann::json;

/// Parser of one object: refuses fields it does not know, reads typed values.
class Fields {
 public:
  Fields(const json& obj, std::string path, std::string& err)
      : obj_(obj), path_(std::move(path)), err_(err) {}

  /// False (and the message) when the value is no object or holds an unknown field.
  bool known(std::initializer_list<const char*> names) {
    if (!obj_.is_object()) return fail(path_, "an object", obj_);
    for (auto it = obj_.begin(); it != obj_.end(); ++it) {
      bool ok = !it.key().empty() && it.key()[0] == '_';
      std::string list;
      for (const char* n : names) {
        ok = ok || it.key() == n;
        list += list.empty() ? n : std::string(", ") + n;
      }
      if (!ok) {
        err_ = path_ + ": unknown field \"" + it.key() + "\" (fields: " + list + ")";
        return false;
      }
    }
    return true;
  }
  const json* get(const char* name) const {
    auto it = obj_.find(name);
    return it == obj_.end() ? nullptr : &*it;
  }
  std::string path(const char* name) const { return path_ + "." + name; }

  bool boolean(const char* name, bool& out) {
    const json* v = get(name);
    if (!v) return true;
    if (!v->is_boolean()) return fail(path(name), "true or false", *v);
    out = v->get<bool>();
    return true;
  }
  template <class T>
  bool number(const char* name, T& out) {
    const json* v = get(name);
    if (!v) return true;
    if (!v->is_number()) return fail(path(name), "a number", *v);
    out = static_cast<T>(v->get<double>());
    return true;
  }
  bool integer(const char* name, int& out) {
    const json* v = get(name);
    if (!v) return true;
    const double d = v->is_number() ? v->get<double>() : NAN;
    if (!(std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 2147483647.0))
      return fail(path(name), "a whole number", *v);
    out = static_cast<int>(d);
    return true;
  }
  bool fail(const std::string& where, const char* expected, const json& got) {
    err_ = where + ": expected " + expected + ", got " + jsonTypeName(got);
    return false;
  }

 private:
  const json& obj_;
  std::string path_;
  std::string& err_;
};

/// A list of numbers: flat, or a column of one-number rows.
bool numberList(const json& v, const std::string& where, std::vector<double>& out,
                std::string& err) {
  if (v.is_number()) {
    out = {v.get<double>()};
    return true;
  }
  if (!v.is_array()) {
    err = where + ": expected a list of numbers, got " + jsonTypeName(v);
    return false;
  }
  out.clear();
  for (std::size_t i = 0; i < v.size(); ++i) {
    const json& e = v[i].is_array() && v[i].size() == 1 ? v[i][0] : v[i];
    if (!e.is_number()) {
      err =
          where + ": entry " + std::to_string(i + 1) + " is " + jsonTypeName(e) + ", not a number";
      return false;
    }
    out.push_back(e.get<double>());
  }
  return true;
}

/// Tube sections [[area cm², length cm], ...] (one section may be [a, l]).
bool sectionList(const json& v, const std::string& where, std::vector<TubeSection>& out,
                 std::string& err) {
  const bool single = v.is_array() && v.size() == 2 && v[0].is_number() && v[1].is_number();
  if (!v.is_array() || v.empty()) {
    err = where + ": expected a list of sections [area cm^2, length cm], got " +
          (v.is_array() ? std::string("an empty list") : jsonTypeName(v));
    return false;
  }
  out.clear();
  for (std::size_t i = 0; i < (single ? 1 : v.size()); ++i) {
    const json& s = single ? v : v[i];
    if (!s.is_array() || s.size() != 2 || !s[0].is_number() || !s[1].is_number()) {
      err = where + ": section " + std::to_string(i + 1) +
            " must be [area cm^2, length cm], two numbers";
      return false;
    }
    out.push_back({s[0].get<double>(), s[1].get<double>()});
  }
  return true;
}

/// A break-point track [[ms, ...], [value, ...], [kind, ...]].
bool breakPoints(const json& v, const std::string& where, ControlTrack& out, std::string& err) {
  if (!v.is_array() || v.size() != 3) {
    err = where +
          ": expected a break-point track [[ms, ...], [values, ...], [kinds, ...]] "
          "(three rows), got " +
          jsonTypeName(v);
    return false;
  }
  std::vector<double> rows[3];
  for (int r = 0; r < 3; ++r)
    if (!numberList(v[r], where + " row " + std::to_string(r + 1), rows[r], err)) return false;
  if (rows[1].size() != rows[0].size() || rows[2].size() != rows[0].size()) {
    err = where + ": the three rows (ms, values, kinds) must have the same length";
    return false;
  }
  out.clear();
  for (std::size_t k = 0; k < rows[0].size(); ++k) {
    const double kind = rows[2][k];
    if (!(std::isfinite(kind) && std::fabs(kind) < 2147483647.0)) {
      err = where + " column " + std::to_string(k + 1) + ": kind must be a whole number";
      return false;
    }
    out.push_back({rows[0][k], rows[1][k], static_cast<Transition>(static_cast<int>(kind))});
  }
  return true;
}

bool nasal(const json& v, SynthesisOptions& o, std::string& err) {
  if (v.is_boolean()) {
    o.nasal_tract = v.get<bool>();
    return true;
  }
  Fields f(v, "model.nasal", err);
  if (!f.known({"branch_section", "coupling_lengths", "tract", "velum", "sinus"})) return false;
  o.nasal_tract = true;
  if (!f.integer("branch_section", o.nbp)) return false;
  if (const json* c = f.get("coupling_lengths"))
    if (!numberList(*c, f.path("coupling_lengths"), o.coupling_lengths_cm, err)) return false;
  if (const json* t = f.get("tract"))
    if (!sectionList(*t, f.path("tract"), o.nasal_sections, err)) return false;
  if (const json* t = f.get("velum"))
    if (!breakPoints(*t, f.path("velum"), o.velum, err)) return false;
  if (const json* s = f.get("sinus")) {
    if (s->is_boolean()) {
      o.sinus_cavity = s->get<bool>();
    } else {
      Fields g(*s, "model.nasal.sinus", err);
      if (!g.known({"volume", "neck_area", "neck_length", "position"})) return false;
      o.sinus_cavity = true;
      if (!g.number("volume", o.sinus_vol) || !g.number("neck_area", o.sinus_apt) ||
          !g.number("neck_length", o.sinus_len) || !g.integer("position", o.sinus_pos))
        return false;
    }
  }
  return true;
}

bool trachea(const json& v, SynthesisOptions& o, std::string& err) {
  if (v.is_boolean()) {
    o.subGLTsystem = v.get<bool>();
    return true;
  }
  Fields f(v, "model.trachea", err);
  if (!f.known({"sections"})) return false;
  o.subGLTsystem = true;
  if (const json* s = f.get("sections"))
    return sectionList(*s, f.path("sections"), o.trachea_sections, err);
  return true;
}

bool walls(const json& v, SynthesisOptions& o, std::string& err) {
  if (v.is_boolean()) {
    o.wall = v.get<bool>();
    return true;
  }
  Fields f(v, "model.walls", err);
  return f.known({"on", "resistance", "mass", "stiffness", "trachea_resistance", "trachea_mass",
                  "trachea_stiffness"}) &&
         f.boolean("on", o.wall) && f.number("resistance", o.wall_resi) &&
         f.number("mass", o.wall_mass) && f.number("stiffness", o.wall_comp) &&
         f.number("trachea_resistance", o.trachea_resi) &&
         f.number("trachea_mass", o.trachea_mass) && f.number("trachea_stiffness", o.trachea_comp);
}

bool glottis(const json& v, SynthesisOptions& o, std::string& err) {
  auto modelName = [&](const json& n, const std::string& where) {
    const std::string s = n.is_string() ? n.get<std::string>() : "";
    if (s == "fant")
      o.glottis = GlottalModel::Fant;
    else if (s == "halvane")
      o.glottis = GlottalModel::Halvane;
    else {
      err = where + ": expected \"fant\" or \"halvane\", got " +
            (n.is_string() ? "\"" + s + "\"" : jsonTypeName(n));
      return false;
    }
    return true;
  };
  if (v.is_string()) return modelName(v, "model.glottis");
  Fields f(v, "model.glottis", err);
  if (!f.known({"model", "open_quotient", "close_quotient"})) return false;
  if (const json* m = f.get("model"))
    if (!modelName(*m, f.path("model"))) return false;
  float q = 0.0f;
  if (f.get("open_quotient")) {
    if (!f.number("open_quotient", q)) return false;
    o.open_quotient = q;
  }
  if (f.get("close_quotient")) {
    if (!f.number("close_quotient", q)) return false;
    o.close_quotient = q;
  }
  return true;
}

bool noise(const json& v, SynthesisOptions& o, std::string& err) {
  if (v.is_boolean()) {
    o.noise_source = v.get<bool>();
    return true;
  }
  Fields f(v, "model.noise", err);
  if (!f.known({"on", "gain", "seed"}) || !f.boolean("on", o.noise_source)) return false;
  if (f.get("gain")) {
    double gain = 1.0;
    if (!f.number("gain", gain)) return false;
    // The scale is formed as the gateway forms it (1e-8 as a float) times the gain.
    o.noiseAmp = gain == 1.0 ? SynthesisOptions{}.noiseAmp
                             : static_cast<float>(SynthesisOptions{}.noiseAmp * gain);
  }
  if (const json* s = f.get("seed")) {
    const double d = s->is_number() ? s->get<double>() : NAN;
    if (!(std::isfinite(d) && d == std::floor(d) && d >= 0.0 && d <= 4294967295.0))
      return f.fail(f.path("seed"), "a whole number from 0 to 4294967295", *s);
    o.seed = static_cast<std::uint32_t>(d);
  }
  return true;
}

}  // namespace

std::string jsonTypeName(const json& v) {
  if (v.is_null()) return "null";
  if (v.is_boolean()) return "true/false";
  if (v.is_string()) return "a string";
  if (v.is_object()) return "an object";
  if (v.is_array()) return "a list";
  return "a number";
}

bool parseModel(const json& model, SynthesisOptions& o, std::string& err) {
  Fields f(model, "model", err);
  if (!f.known({"nasal", "trachea", "walls", "wall_radiation", "dynamic_term", "Psub", "glottis",
                "noise", "oversampling"}))
    return false;
  if (const json* v = f.get("nasal"); v && !nasal(*v, o, err)) return false;
  if (const json* v = f.get("trachea"); v && !trachea(*v, o, err)) return false;
  if (const json* v = f.get("walls"); v && !walls(*v, o, err)) return false;
  if (!f.boolean("wall_radiation", o.wall_radiation) || !f.boolean("dynamic_term", o.dynamic_term))
    return false;
  if (const json* v = f.get("Psub")) {
    if (v->is_number())
      o.Psub = static_cast<float>(v->get<double>());
    else if (!breakPoints(*v, "model.Psub", o.Psub_track, err))
      return false;
  }
  if (const json* v = f.get("glottis"); v && !glottis(*v, o, err)) return false;
  if (const json* v = f.get("noise"); v && !noise(*v, o, err)) return false;
  if (f.get("oversampling")) {
    if (!f.integer("oversampling", o.oversampling)) return false;
    if (o.oversampling < 1 || o.oversampling > 1000) {
      err = "model.oversampling: " + std::to_string(o.oversampling) +
            " simulation steps per output sample; it must be 1 to 1000";
      return false;
    }
  }
  return true;
}

bool parseSignalList(const json& list, std::vector<std::string>& names, std::string& err) {
  const bool one = list.is_string();
  if (!one && !list.is_array()) {
    err = "signals: expected a list of signal names, got " + jsonTypeName(list);
    return false;
  }
  names.clear();
  for (std::size_t i = 0; i < (one ? 1 : list.size()); ++i) {
    const json& n = one ? list : list[i];
    if (!n.is_string()) {
      err = "signals: entry " + std::to_string(i + 1) + " is " + jsonTypeName(n) + ", not a name";
      return false;
    }
    names.push_back(n.get<std::string>());
  }
  return true;
}

}  // namespace vt
