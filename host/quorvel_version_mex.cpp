// MEX entry quorvel_version: v = quorvel_version(). The toolkit's release
// number as a character row ("major.minor.patch"), the same number that the
// command-line programs print with --version.

#include "host/mex_numbers.h"
#include "mex.h"
#include "quorvel_version.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;

EntryResult work(int nlhs, mxArray* plhs[], int nrhs) {
  if (nrhs != 0 || nlhs > 1) return EntryError{"usage", "Usage: v = quorvel_version()"};
  plhs[0] = mxCreateString(vt::kQuorvelVersion);
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* /*prhs*/[]) {
  vt::host::runEntry("quorvel_version", [&] { return work(nlhs, plhs, nrhs); });
}
