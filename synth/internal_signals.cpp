#include "synth/internal_signals.h"

namespace vt {

const std::vector<InternalSignalInfo>& internalSignals() {
  static const std::vector<InternalSignalInfo> all = {
      {"glottal_flow", NetworkSignal::GlottalFlow, "cm^3/s", "volume velocity through the glottis",
       false},
      {"glottal_area", NetworkSignal::GlottalArea, "cm^2", "glottal area", false},
      {"lip_flow", NetworkSignal::LipFlow, "cm^3/s", "volume velocity out of the lips", false},
      {"nostril_flow", NetworkSignal::NostrilFlow, "cm^3/s", "volume velocity out of the nostrils",
       true},
      {"mouth_pressure", NetworkSignal::MouthPressure, "dyn/cm^2",
       "radiated pressure from the lips (at 100 cm)", false},
      {"nose_pressure", NetworkSignal::NosePressure, "dyn/cm^2",
       "radiated pressure from the nostrils (at 100 cm)", true},
      {"subglottal_pressure", NetworkSignal::SubglottalPressure, "dyn/cm^2",
       "pressure below the glottis (top of the trachea, or the lung pressure less the lung "
       "resistance drop)",
       false},
      {"pressure_behind_constriction", NetworkSignal::PressureBehindConstriction, "dyn/cm^2",
       "pressure in the section just upstream of the narrowest vocal-tract section", false},
  };
  return all;
}

std::optional<InternalSignalInfo> findInternalSignal(const std::string& name) {
  for (const InternalSignalInfo& s : internalSignals())
    if (name == s.name) return s;
  return std::nullopt;
}

std::string internalSignalHelp(const char* indent) {
  std::string t;
  for (const InternalSignalInfo& s : internalSignals()) {
    std::string line = std::string(indent) + s.name;
    if (line.size() < 32)
      line.resize(32, ' ');
    else
      line += ' ';
    t += line + s.unit + ", " + s.description + (s.needsNasal ? " (nasal branch only)" : "") + "\n";
  }
  return t;
}

}  // namespace vt
