#pragma once

#include <cstdint>
#include <optional>

namespace vt {

/// Glottal pulse shape.
enum class GlottalModel {
  Fant,     ///< raised-cosine opening (0.36 of the period), cosine closing (0.26)
  Halvane,  ///< opening over half the period, time-warped closing (0.2)
};

/// The network, source and rate options of one synthesis. The defaults are the
/// configuration the quorvel synthesiser always runs with: a moving vocal tract
/// with yielding walls and a radiation load from the lip opening, no nasal
/// branch, no trachea, no wall radiation, aspiration and frication noise on,
/// 8 cm H2O lung pressure, the Fant pulse, three simulation steps per output
/// sample and the never-seeded noise sequence.
struct SynthesisOptions {
  int nbp = 9;                  ///< velum branch point: sections 0..nbp-1 before the velum
  bool vocal_tract = true;      ///< area function moves (elements refreshed every step)
  bool nasal_tract = false;     ///< nasal branch with velum coupling and nostril radiation
  bool wall = true;             ///< yielding walls in glottis, vocal tract and nasal branch
  bool rad_boundary = true;     ///< radiation loads from the opening area (else fixed)
  bool wall_radiation = false;  ///< wall vibration adds to the radiated output
  bool noise_source = true;     ///< aspiration and frication noise
  bool subGLTsystem = false;    ///< trachea below the glottis
  bool sinus_cavity = false;    ///< paranasal sinus on the nasal tract
  bool dynamic_term = false;    ///< area and length changes inject volume velocity
  float noiseAmp = static_cast<float>(2e-8 * 0.5);  ///< scale of the noise sources
  float Psub = 8.0f;            ///< lung pressure, cm H2O
  GlottalModel glottis = GlottalModel::Fant;  ///< glottal pulse shape
  int oversampling = 3;         ///< simulation steps per output sample (deci), >= 1
  /// Independent noise sequence: the random generator restarts from this seed
  /// and the noise filters from rest at the start of the synthesis. Absent:
  /// the sequence continues from where the synthesiser left it.
  std::optional<std::uint32_t> seed;
  bool operator==(const SynthesisOptions&) const = default;
};

}  // namespace vt
