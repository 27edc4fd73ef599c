// brellix AUDIO.wav VIDEO.avi OUT.avi: lays a WAV sound track under an AVI video.

#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "avcombine/brellix.h"
#include "avcombine/cli/command_line.h"

namespace {

constexpr const char* kUsage = "Usage: brellix [--] AUDIO.wav VIDEO.avi OUT.avi\n";

constexpr const char* kHelp =
    "Lays the sound track of a WAV file under the video of an AVI file.\n"
    "\n"
    "Writes OUT.avi with two streams: the first video stream of VIDEO.avi, its\n"
    "packets unchanged, then the first audio stream of AUDIO.wav, its samples\n"
    "unchanged, interleaved in time order. Further streams of the inputs are\n"
    "left out. OUT.avi appears only when complete; an earlier file of that name\n"
    "is replaced then. OUT.avi may not name one of the inputs.\n"
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
  switch (vt::cli::parseFileArguments(argc, argv, 3, files, err)) {
    case vt::cli::Request::Help:
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      return vt::cli::kExitOk;
    case vt::cli::Request::Usage:
      std::fprintf(stderr, "brellix: %s\n%s", err.c_str(), kUsage);
      return vt::cli::kExitUsage;
    case vt::cli::Request::Run:
      break;
  }
  av_log_set_level(AV_LOG_ERROR);
  const vt::MuxResult r = vt::brellix(files[0], files[1], files[2]);
  if (!r) {
    std::fprintf(stderr, "brellix: %s\n", r.message.c_str());
    return vt::cli::kExitFailed;
  }
  return vt::cli::kExitOk;
}
