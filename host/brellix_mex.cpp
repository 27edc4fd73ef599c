// MEX entry brellix(audio, video, output): lays the sound track of a WAV file
// under the video of an AVI file, writing a new AVI file.

#include "avcombine/brellix.h"
#include "host/combiner_mex_entry.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  (void)plhs;
  static constexpr vt::host::CombinerCall kCall{
      "brellix", "brellix(audio, video, output)",
      "brellix(audio, video, output) with three file names", 3,
      [](const std::vector<std::string>& f) { return vt::brellix(f[0], f[1], f[2]); }};
  vt::host::combinerMexFunction(kCall, nlhs, nrhs, prhs);
}
