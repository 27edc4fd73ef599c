// MEX entry vantrix(audio, video): lays the sound track of a WAV file under the
// video of an AVI file compressed with Microsoft Video 1, writing "temp.avi".

#include <string>

#include "avcombine/mex_file_argument.h"
#include "avcombine/vantrix.h"
#include "mex.h"

namespace {

/// Checks the call and combines; false with the message on any failure.
bool run(int nlhs, int nrhs, const mxArray* prhs[], std::string& id, std::string& err) {
  id = "vantrix:arguments";
  if (nrhs != 2) {
    err = "expected 2 arguments, got " + std::to_string(nrhs) +
          "; usage: vantrix(audio, video) with two file names (writes temp.avi)";
    return false;
  }
  if (nlhs > 0) {
    err = "returns no value; call it as vantrix(audio, video)";
    return false;
  }
  std::string audio, video;
  if (!vt::host::getFileName(prhs[0], "the audio file name (argument 1)", audio, err) ||
      !vt::host::getFileName(prhs[1], "the video file name (argument 2)", video, err)) {
    return false;
  }
  id = "vantrix:failed";
  const vt::MuxResult r = vt::vantrix(audio, video);
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
