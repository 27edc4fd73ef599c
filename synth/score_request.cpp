#include "synth/score_request.h"

#include <vector>

#include "synth/request_checks.h"

namespace vt {

CheckOutcome requestFromScore(const Score& score, SynthesisRequest& request) {
  const std::vector<ArgView> args = score.args();
  GatewayRates rates;
  CheckOutcome out = CheckArguments(1, static_cast<int>(args.size()), args.data(), rates, &request);
  if (out.status != 0) return out;
  // The airway model and the signals go through the checks every front end shares.
  request.options = score.model;
  request.signals = score.signals;
  out.error = checkRequest(request);
  out.status = out.error.empty() ? 0 : 1;
  return out;
}

}  // namespace vt
