// A vowel glide /i/ -> /a/ built in code with the typed synthesis core and
// written to a WAV file: the smallest complete program on the C++ library.
//
//   vowel_glide [OUT.wav]      (default: vowel_glide.wav)
//
// The two tract shapes are schematic 17-section area functions (1 cm each,
// glottis first): /i/ with a wide pharynx and a palatal constriction, /a/ with
// a narrow pharynx and a wide mouth.
#include <cstdio>
#include <string>

#include "synth/synthesizer.h"
#include "synth/wav_writer.h"

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "vowel_glide.wav";

  const std::vector<double> i_cm2 = {0.6, 1.5, 3.0, 4.5,  5.5, 6.0, 6.0, 5.0, 3.5,
                                     2.0, 1.0, 0.4, 0.25, 0.3, 0.6, 1.2, 2.0};
  const std::vector<double> a_cm2 = {0.6, 0.8, 0.6, 0.5, 0.5, 0.6, 0.8, 1.2, 2.0,
                                     3.0, 4.0, 5.0, 5.5, 5.5, 5.0, 4.5, 4.0};
  const std::vector<double> lengths_cm(17, 1.0);

  vt::SynthesisRequest rq;
  rq.nvt = 17;
  rq.smpfrq = 10000.0f;  // Hz
  // Key frames: /i/ held for 150 ms, a 250 ms cosine glide to /a/, /a/ held.
  rq.frames = {{0.0, vt::Transition::Linear, 1, i_cm2, lengths_cm},
               {150.0, vt::Transition::Linear, 1, i_cm2, lengths_cm},
               {400.0, vt::Transition::Cosine, 1, a_cm2, lengths_cm},
               {600.0, vt::Transition::Linear, 1, a_cm2, lengths_cm}};
  // Glottis: a slightly open baseline (cm²), pulses of 0.18 cm² that fade in
  // and out; F0 falls from 130 to 100 Hz.
  using vt::Transition;
  rq.TAg0 = {{0, 0.03, Transition::Linear}, {600, 0.03, Transition::Linear}};
  rq.TAgP = {{0, 0.0, Transition::Linear},
             {50, 0.18, Transition::Cosine},
             {550, 0.18, Transition::Linear},
             {600, 0.0, Transition::Cosine}};
  rq.TF0 = {{0, 130, Transition::Linear}, {600, 100, Transition::Cosine}};

  vt::Synthesizer synth;
  const vt::SynthesisResult r = synth.synthesize(rq);
  if (r.status != 0) {
    std::fprintf(stderr, "vowel_glide: %s\n", r.error.c_str());
    return 1;
  }
  float peak = 0.0f;
  for (float s : r.samples) peak = s > peak ? s : (-s > peak ? -s : peak);
  const float gain = peak > 0.0f ? 0.9f / peak : 1.0f;
  const vt::WavWriteResult w =
      vt::writeWavFile(out, r.samples, 10000, vt::WavEncoding::Float32, gain);
  if (!w.ok) {
    std::fprintf(stderr, "vowel_glide: %s\n", w.error.c_str());
    return 1;
  }
  std::printf("vowel_glide: wrote %zu samples (%.3f s, peak %.3g dyn/cm^2) to %s\n",
              r.samples.size(), r.samples.size() / 10000.0, peak, out.c_str());
  return 0;
}
