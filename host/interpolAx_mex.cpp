// MEX entry interpolAx: [A, x, ended] = interpolAx(keyFile, n [, fs [, kind]]).
// Runs a tube-model track over the keys of a tube key file from sample 0 up
// to the largest requested sample and returns the tube's area A (cm²) and
// length x (cm) at the requested samples n, in the shape of n, with the
// track's ended flag (1 from the last key's sample on). fs: output sampling
// frequency in Hz (default 10000); kind: law before the first key (0 gives
// 0, the default; 1 linear; 2 cosine). Every failure is one Octave/MATLAB error.

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "artic/interpolAx.h"
#include "host/mex_args.h"
#include "host/mex_interrupt.h"
#include "host/mex_numbers.h"
#include "mex.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;

EntryResult work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs < 2 || nrhs > 4 || nlhs > 3) {
    return EntryError{"usage", "Usage: [A, x, ended] = interpolAx(keyFile, n [, fs [, kind]])"};
  }
  std::string msg;
  vt::interpoMemTube mem;
  if (!vt::host::getString(prhs[0], "keyFile", mem.fileName, msg)) {
    return EntryError{"argument", msg};
  }
  const mxArray* nArg = prhs[1];
  if (!vt::host::isRealFullDouble(nArg)) {
    return EntryError{"argument", "n must be a real double array of sample indices"};
  }
  const std::size_t count = mxGetNumberOfElements(nArg);
  const double* nv = mxGetPr(nArg);
  // Requested samples in increasing order, with their places in n.
  std::vector<std::pair<unsigned int, std::size_t>> wanted(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double v = nv[i];
    if (!(v >= 0.0 && v <= 4294967295.0) || v != std::trunc(v)) {
      return EntryError{"argument", "n must hold whole sample indices from 0 to 4294967295"};
    }
    wanted[i] = {static_cast<unsigned int>(v), i};
  }
  std::sort(wanted.begin(), wanted.end());
  float fs = 10000.0f;
  if (nrhs > 2) {
    if (!vt::host::isRealFullDouble(prhs[2]) || mxGetNumberOfElements(prhs[2]) != 1 ||
        !(mxGetPr(prhs[2])[0] > 0.0) || !(mxGetPr(prhs[2])[0] < 1e9)) {
      return EntryError{"argument",
                        "fs must be a real double scalar, a sampling frequency in Hz above 0"};
    }
    fs = static_cast<float>(mxGetPr(prhs[2])[0]);
  }
  if (nrhs > 3) {
    double kind = 0.0;
    if (!vt::host::getWholeScalar(prhs[3], "kind", 0.0, 2.0, kind, msg)) {
      return EntryError{"argument", msg};
    }
    mem.kind = static_cast<int>(kind);
  }

  std::vector<double> a(count), x(count), ended(count);
  // Sample 0 reads the key file, also when no sample is requested.
  const unsigned int last = count ? wanted.back().first : 0u;
  std::size_t w = 0;
  for (unsigned int n = 0;; ++n) {
    // Up to 2^32 samples take a minute: Ctrl-C stops the call.
    if ((n & 0xFFFu) == 0 && vt::host::takeInterrupt()) {
      return EntryError{"interrupted", vt::host::kInterruptedMessage};
    }
    const vt::area_function v = vt::interpolAx(n, &mem, fs);
    for (; w < count && wanted[w].first == n; ++w) {
      a[wanted[w].second] = v.A;
      x[wanted[w].second] = v.x;
      ended[wanted[w].second] = mem.ended;
    }
    if (n == last) break;
  }
  const std::vector<double>* outs[3] = {&a, &x, &ended};
  for (int k = 0; k < std::max(nlhs, 1); ++k) {
    plhs[k] = mxCreateNumericArray(mxGetNumberOfDimensions(nArg), mxGetDimensions(nArg),
                                   mxDOUBLE_CLASS, mxREAL);
    std::copy(outs[k]->begin(), outs[k]->end(), mxGetPr(plhs[k]));
  }
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vt::host::runEntry("interpolAx", [&] { return work(nlhs, plhs, nrhs, prhs); });
}
