// MEX entry vantrix(audio, video): lays the sound track of a WAV file under the
// video of an AVI file compressed with Microsoft Video 1, writing "temp.avi".

#include "avcombine/vantrix.h"
#include "host/combiner_mex_entry.h"

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  (void)plhs;
  static constexpr vt::host::CombinerCall kCall{
      "vantrix", "vantrix(audio, video)",
      "vantrix(audio, video) with two file names (writes temp.avi)", 2,
      [](const std::vector<std::string>& f) { return vt::vantrix(f[0], f[1]); }};
  vt::host::combinerMexFunction(kCall, nlhs, nrhs, prhs);
}
