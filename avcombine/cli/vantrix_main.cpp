// vantrix AUDIO.wav VIDEO.avi: lays a WAV sound track under an AVI video
// compressed with Microsoft Video 1, written to temp.avi or the -o name.

#include "avcombine/cli/command_line.h"
#include "avcombine/vantrix.h"

namespace {

constexpr const char* kUsage = "Usage: vantrix [-o OUT.avi] [--] AUDIO.wav VIDEO.avi\n";

constexpr const char* kHelp =
    "Lays the sound track of a WAV file under the video of an AVI file and\n"
    "compresses the video with Microsoft Video 1 (FourCC MSVC).\n"
    "\n"
    "Writes OUT.avi (-o; temp.avi in the working directory by default) with two\n"
    "streams: the first video stream of VIDEO.avi, re-encoded frame for frame at\n"
    "the codec's highest compression, then the first audio stream of AUDIO.wav,\n"
    "its samples unchanged. Further streams of the inputs are left out. The\n"
    "output appears only when complete and readable; an earlier file of that\n"
    "name is replaced then. An input of that name is refused. The frame size\n"
    "must be a multiple of 4 pixels in both directions. A WAV whose format\n"
    "header gives no usable channel count, sample rate, block align or bits\n"
    "per sample is refused.\n"
    "\n"
    "  -o OUT.avi   the output file (default temp.avi)\n";

}  // namespace

int main(int argc, char** argv) {
  static constexpr vt::cli::Program kProgram{
      "vantrix", kUsage, kHelp, 2, vt::kVantrixOutput, [](const std::vector<std::string>& f) {
        return vt::vantrix(f[0], f[1], f[2]);
      }};
  return vt::cli::runProgram(kProgram, argc, argv);
}
