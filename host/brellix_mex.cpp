// MEX entry brellix(audio, video, output): lays the sound track of a WAV file
// under the video of an AVI file, writing a new AVI file.

#include <string>

#include "avcombine/brellix.h"
#include "avcombine/mex_file_argument.h"
#include "mex.h"

namespace {

/// Checks the call and combines; false with the message on any failure.
bool run(int nlhs, int nrhs, const mxArray* prhs[], std::string& id, std::string& err) {
  id = "brellix:arguments";
  if (nrhs != 3) {
    err = "expected 3 arguments, got " + std::to_string(nrhs) +
          "; usage: brellix(audio, video, output) with three file names";
    return false;
  }
  if (nlhs > 0) {
    err = "returns no value; call it as brellix(audio, video, output)";
    return false;
  }
  std::string audio, video, output;
  if (!vt::host::getFileName(prhs[0], "the audio file name (argument 1)", audio, err) ||
      !vt::host::getFileName(prhs[1], "the video file name (argument 2)", video, err) ||
      !vt::host::getFileName(prhs[2], "the output file name (argument 3)", output, err)) {
    return false;
  }
  id = "brellix:failed";
  const vt::MuxResult r = vt::brellix(audio, video, output);
  if (!r) {
    err = r.message;
    return false;
  }
  return true;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  (void)plhs;
  char* id = nullptr;
  char* msg = nullptr;
  {
    std::string i, e;
    if (!run(nlhs, nrhs, prhs, i, e)) {
      id = vt::host::hostCopy(i);
      msg = vt::host::hostCopy(e);
    }
  }
  if (msg != nullptr) mexErrMsgIdAndTxt(id, "%s", msg);
}
