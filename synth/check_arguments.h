#pragma once

#include <cstddef>
#include <string>

#include "synth/synthesis_request.h"

namespace vt {

/// One argument as the host hands it over: shape and column-major values.
struct ArgView {
  std::size_t rows = 0;
  std::size_t cols = 0;
  const double* values = nullptr;  ///< rows·cols doubles, element (r, c) at c·rows + r
};

/// Rates and flag that the argument check sets.
struct GatewayRates {
  float smpfrq = 10000.0f;  ///< output sampling frequency, Hz
  float simfrq = 30000.0f;  ///< simulation frequency, Hz (3 · smpfrq)
  int VCV = 0;              ///< narrowest-section report flag
};

/// Outcome of CheckArguments: `printed` holds what the host prints (the usage
/// lines of a wrong count), `error` the rejection message.
struct CheckOutcome {
  int status = 0;  ///< 0 accepted, 1 rejected
  std::string printed;
  std::string error;
};

/// Validates a call SIG = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx, fs, VCV)
/// with nlhs results and nrhs arguments (args[0..nrhs-1]); sets rates before
/// the shape tests, so a call rejected for a shape still leaves them set (an
/// empty fs or ninth argument, or a VCV no int holds, leaves its rate or flag
/// as it was). After the counts and shapes it refuses what the synthesis
/// cannot run on: fs not finite or not above 0 Hz; nss giving no 1 to 40
/// sections; TAF1 without key frames; TAF2, or a dx of several rows, holding
/// fewer than nss x F values; an empty dx; break-point or key times that are
/// negative, not finite, beyond the 32-bit sample index or not on strictly
/// increasing samples; kinds and noise-source sections that no int holds;
/// then the physical values of the typed request (checkRequestValues). An
/// accepted call leaves the typed request in *request when it is given.
CheckOutcome CheckArguments(int nlhs, int nrhs, const ArgView* args, GatewayRates& rates,
                            SynthesisRequest* request = nullptr);

}  // namespace vt
