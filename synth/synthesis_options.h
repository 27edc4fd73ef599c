#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "synth/control_track.h"
#include "synth/nasal_tract_data.h"

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
  int nbp = 9;               ///< velum branch point: sections 0..nbp-1 before the velum (1..nvt-1)
  bool vocal_tract = true;   ///< area function moves (elements refreshed every step)
  bool nasal_tract = false;  ///< nasal branch with velum coupling and nostril radiation
  bool wall = true;          ///< yielding walls in glottis, vocal tract and nasal branch
  bool rad_boundary = true;  ///< radiation loads from the opening area (else fixed)
  bool wall_radiation = false;  ///< wall vibration adds to the radiated output
  bool noise_source = true;     ///< aspiration and frication noise
  bool subGLTsystem = false;    ///< trachea below the glottis
  bool sinus_cavity = false;    ///< paranasal sinus on the nasal tract (nasal branch only)
  bool dynamic_term = false;    ///< area and length changes inject volume velocity
  float noiseAmp = static_cast<float>(2e-8 * 0.5);  ///< scale of the noise sources
  float Psub = 8.0f;  ///< lung pressure, cm H2O (used while Psub_track is empty)
  /// Lung pressure over time, cm H2O, evaluated per output sample like the
  /// glottal tracks (same break-point rules); empty: the constant Psub.
  ControlTrack Psub_track;
  GlottalModel glottis = GlottalModel::Fant;  ///< glottal pulse shape
  /// Opening and closing phase of the pulse, fractions of the period (0..1,
  /// together at most 1); absent: the model's own (Fant 0.36/0.26, Halvane 0.5/0.2).
  std::optional<float> open_quotient, close_quotient;
  int oversampling = 3;  ///< simulation steps per output sample (deci), >= 1
  /// Independent noise sequence: the random generator restarts from this seed
  /// and the noise filters from rest at the start of the synthesis. Absent:
  /// the sequence continues from where the synthesiser left it.
  std::optional<std::uint32_t> seed;

  // Nasal branch (nasal_tract on).
  /// Lengths of the velum coupling sections, cm (> 0): their count is the
  /// number of coupling sections (at least 1); all get the velum port area.
  std::vector<double> coupling_lengths_cm = defaultCouplingLengths();
  /// Nasal tract proper from the coupling end to the nostrils (fixed during a
  /// synthesis), cm² and cm; the last section is the nostril opening.
  std::vector<TubeSection> nasal_sections = defaultNasalTract();
  /// Velopharyngeal port area over time, cm² (>= 0), per output sample like
  /// the glottal tracks; empty: a closed port (the area floor, 0.001 cm²).
  ControlTrack velum;
  float sinus_vol = 25.0f;  ///< paranasal sinus volume, cm³ (> 0)
  float sinus_apt = 0.1f;   ///< sinus neck (ostium) area, cm² (> 0)
  float sinus_len = 0.5f;   ///< sinus neck length, cm (> 0)
  /// Where the sinus hangs, counted over the whole nasal branch from the
  /// velum (coupling sections included); its section then carries the
  /// resonator instead of tube elements. nnc+1..nnc+nasal sections.
  int sinus_pos = 7;

  /// Trachea sections from the lungs up to the glottis (subGLTsystem on),
  /// cm² and cm; 1..20 sections.
  std::vector<TubeSection> trachea_sections = defaultTrachea();

  // Wall constants per unit wall area (yielding walls).
  float wall_resi = 1600.0f;        ///< vocal and nasal tract wall resistance, dyn·s/cm³ (> 0)
  float wall_mass = 1.5f;           ///< vocal and nasal tract wall mass, g/cm² (> 0)
  float wall_comp = 300000.0f;      ///< vocal and nasal tract wall stiffness, dyn/cm³ (> 0)
  float trachea_resi = 500.0f;      ///< trachea wall resistance, dyn·s/cm³ (> 0)
  float trachea_mass = 0.3f;        ///< trachea wall mass, g/cm² (> 0)
  float trachea_comp = 1000000.0f;  ///< trachea wall stiffness, dyn/cm³ (> 0)

  bool operator==(const SynthesisOptions&) const = default;
};

}  // namespace vt
