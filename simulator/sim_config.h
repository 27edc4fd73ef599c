#pragma once

#include "records/area_function.h"

namespace vt {

/// Configuration values and switches of the time-domain vocal-tract simulator,
/// with their defaults. Single precision as the physical parameters are
/// specified; constants derived from them at initialisation are double.
struct SimConfig {
  float simfrq = 30000.0f;  ///< simulation rate (network steps per second), Hz
  float smpfrq = 10000.0f;  ///< output sampling rate, Hz
  float Psub = 8.0f;        ///< lung (subglottal) pressure, cm H2O
  int ntr = 20;             ///< number of trachea sections
  area_function aftr[20] = {{3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1},
                            {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1},
                            {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}, {3, 1}};
  ///< trachea area function: 20 sections of 3 cm² × 1 cm
  float xg = 0.3f;              ///< depth of the glottal section, cm
  float lg = 1.2f;              ///< length of the glottal slit (viscous constant only), cm
  int nglt0 = 1;                ///< number of glottal sections
  int nglt1 = 2;                ///< number of glottal element records (nglt0 + 1)
  int nvt = 17;                 ///< number of vocal-tract sections (1..40)
  int nbp = 9;                  ///< velum branch point: sections 0..nbp-1 form the main branch
  int nnc = 3;                  ///< coupling (velum) sections at the start of afnt
  float sinus_vol = 25.0f;      ///< paranasal sinus volume, cm³
  float sinus_apt = 0.1f;       ///< sinus neck (aperture) area, cm²
  float sinus_len = 0.5f;       ///< sinus neck length, cm
  int sinus_pos = 7;            ///< sinus position, counted in afnt (coupling sections included)
  float noiseAmp = 100.0f;      ///< scale of the noise sources
  int noiseSourceLoc = 1;       ///< junctions from the constriction outlet to the frication source
  int rad_boundary = 1;         ///< 1: radiation loads from the opening area; else fixed values
  float ro = 0.00114f;          ///< density of air, g/cm³
  float c = 35000.0f;           ///< speed of sound, cm/s
  float mu = 0.000186f;         ///< viscosity of air, dyn·s/cm²
  float Kc = 1.42f;             ///< kinetic (Bernoulli) pressure-drop coefficient
  float wall_resi = 1600.0f;    ///< wall resistance per unit wall area, dyn·s/cm³
  float wall_mass = 1.5f;       ///< wall mass per unit wall area, g/cm²
  float wall_comp = 300000.0f;  ///< wall stiffness per unit wall area, dyn/cm³
  float trachea_resi = 500.0f;  ///< trachea wall resistance per unit area, dyn·s/cm³
  float trachea_mass = 0.3f;    ///< trachea wall mass per unit area, g/cm²
  float trachea_comp = 1000000.0f;  ///< trachea wall stiffness per unit area, dyn/cm³
  float H2O_bar = 980.39f;          ///< dyn/cm² per cm H2O
  // Declared physical constants that no operation reads.
  float lung_vol = 4000.0f;  ///< lung volume, cm³
  float lamda = 5.5e-05f;
  float eta = 1.4f;
  float cp = 0.24f;
  float extra_loss_factor = 50.0f;

  // Switches: 1 means on.
  int vocal_tract = 0;     ///< area function moves: elements recomputed every step
  int nasal_tract = 0;     ///< nasal branch with velum coupling and nostril radiation
  int wall = 0;            ///< yielding walls in glottis, vocal tract and nasal branch
  int subGLTsystem = 0;    ///< trachea precedes the glottis
  int sinus_cavity = 0;    ///< paranasal sinus attached to the nasal tract
  int noise_source = 0;    ///< aspiration and frication noise injected
  int dynamic_term = 0;    ///< area/length changes inject volume-velocity sources
  int wall_radiation = 0;  ///< wall vibration adds to the radiated output
  int glt_boundary = 0;    ///< declared, not read
  int source_typ = 0;      ///< declared, not read
  int source_loc = 0;      ///< declared, not read
};

}  // namespace vt
