// quorvel._core: sound-file output and the audio/video combiners.

#include "avcombine/mux_audio_video.h"
#include "binding_support.h"
#include "synth/wav_writer.h"

namespace vt::python {
namespace {

void combine(const std::string& audio, const std::string& video, const std::string& output,
             bool msVideo1) {
  const std::string a = fileName(audio, "the audio file name");
  const std::string v = fileName(video, "the video file name");
  const std::string o = fileName(output, "the output file name");
  MuxResult r;
  {
    py::gil_scoped_release unlocked;
    r = mux_audio_video(a, v, o, {msVideo1 ? VideoCoding::MsVideo1 : VideoCoding::Copy});
  }
  if (!r) throw FileFailure(r.message);
}

void writeSound(const std::string& path,
                py::array_t<float, py::array::c_style | py::array::forcecast> samples, int rate,
                float gain) {
  const std::string name = fileName(path, "the sound file name");
  std::vector<float> s(samples.data(), samples.data() + samples.size());
  WavWriteResult w;
  {
    py::gil_scoped_release unlocked;
    w = writeWavFile(name, s, rate, WavEncoding::Float32, gain);
  }
  if (!w.ok) throw FileFailure(w.error);
}

}  // namespace

void bindMedia(py::module_& m) {
  m.def("combine", &combine, py::arg("audio"), py::arg("video"), py::arg("output"),
        py::arg("ms_video1"),
        "Lays the WAV file's sound under the AVI file's video, copied or re-encoded "
        "(Microsoft Video 1).");
  m.def("write_sound", &writeSound, py::arg("path"), py::arg("samples"), py::arg("rate"),
        py::arg("gain"),
        "Writes mono float32 samples times gain as a sound file (.wav float, .flac, .aiff).");
}

}  // namespace vt::python
