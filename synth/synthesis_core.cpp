#include "synth/synthesis_core.h"

#include <new>
#include <utility>

namespace vt {

SynthesisOutcome QuorvelSession::synthesize(int nlhs, int nrhs, const ArgView* args) {
  SynthesisRequest request;
  CheckOutcome chk;
  try {
    chk = CheckArguments(nlhs, nrhs, args, rates_, &request);
  } catch (const std::bad_alloc&) {
    SynthesisOutcome out;
    out.status = 1;
    out.error = "out of memory while reading the arguments";
    return out;
  }
  if (chk.status != 0) {
    SynthesisOutcome out;
    out.status = 1;
    out.printed = std::move(chk.printed);
    out.error = std::move(chk.error);
    return out;
  }
  SynthesisOutcome out = synth_.synthesize(request);
  if (!chk.printed.empty()) out.printed = chk.printed + out.printed;
  return out;
}

}  // namespace vt
