#pragma once

#include "synth/check_arguments.h"
#include "synth/score_json.h"
#include "synth/synthesis_request.h"

namespace vt {

/// The typed request of a score, through the same checks, in the same order
/// and with the same messages as the host call quorvel(...) of its matrices.
/// Then the score's airway model and signal list, by the shared request checks.
/// status 0: request holds the score; otherwise error (and printed) say why.
CheckOutcome requestFromScore(const Score& score, SynthesisRequest& request);

}  // namespace vt
