// vantrix AUDIO.wav VIDEO.avi: lays a WAV sound track under an AVI video
// compressed with Microsoft Video 1, written to temp.avi.

#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "avcombine/cli/command_line.h"
#include "avcombine/vantrix.h"

namespace {

constexpr const char* kUsage = "Usage: vantrix [--] AUDIO.wav VIDEO.avi\n";

constexpr const char* kHelp =
    "Lays the sound track of a WAV file under the video of an AVI file and\n"
    "compresses the video with Microsoft Video 1 (FourCC MSVC).\n"
    "\n"
    "Writes temp.avi in the working directory with two streams: the first video\n"
    "stream of VIDEO.avi, re-encoded frame for frame at the codec's highest\n"
    "compression, then the first audio stream of AUDIO.wav, its samples\n"
    "unchanged. Further streams of the inputs are left out. temp.avi appears only\n"
    "when complete; an earlier temp.avi is replaced then. An input named\n"
    "temp.avi is refused. The frame size must be a multiple of 4 pixels in both\n"
    "directions.\n"
    "\n"
    "Options:\n"
    "  -h, --help   show this text\n"
    "  --           end of options (for file names beginning with '-')\n"
    "\n"
    "Exit status: 0 written, 1 combining failed (reason on standard error),\n"
    "2 wrong arguments.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::string err;
  switch (vt::cli::parseFileArguments(argc, argv, 2, files, err)) {
    case vt::cli::Request::Help:
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      return vt::cli::kExitOk;
    case vt::cli::Request::Usage:
      std::fprintf(stderr, "vantrix: %s\n%s", err.c_str(), kUsage);
      return vt::cli::kExitUsage;
    case vt::cli::Request::Run:
      break;
  }
  av_log_set_level(AV_LOG_ERROR);
  const vt::MuxResult r = vt::vantrix(files[0], files[1]);
  if (!r) {
    std::fprintf(stderr, "vantrix: %s\n", r.message.c_str());
    return vt::cli::kExitFailed;
  }
  return vt::cli::kExitOk;
}
