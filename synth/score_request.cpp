#include "synth/score_request.h"

#include <vector>

namespace vt {

CheckOutcome requestFromScore(const Score& score, SynthesisRequest& request) {
  const std::vector<ArgView> args = score.args();
  GatewayRates rates;
  return CheckArguments(1, static_cast<int>(args.size()), args.data(), rates, &request);
}

}  // namespace vt
