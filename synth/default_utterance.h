#pragma once

#include "synth/score_json.h"

namespace vt {

/// The built-in example utterance /asa/ at 10 kHz, 0.7 s: a vowel /a/ (narrow
/// pharynx, wide mouth), a tongue-tip constriction of 0.08 cm² about 2 cm
/// behind the lips for /s/ with the frication source one junction downstream,
/// and back to /a/; 17 sections of 1 cm. F0 rises from 120 to 140 Hz and falls
/// to 100 Hz; voicing stops and the glottis opens to 0.35 cm² during /s/.
Score defaultUtterance();

}  // namespace vt
