#pragma once
// Ctrl-C in the host while a MEX call runs. Octave's signal handler only
// records the interrupt (octave/quit.h: octave_interrupt_state > 0 while one
// is pending); a long call polls it, takes it over and ends with an error
// once its objects are gone. A host without such a flag (MATLAB, whose
// facility is not part of its documented MEX interface) never reports one.

#include "mex.h"

#if defined(HAVE_OCTAVE)
#include <octave/quit.h>
#endif

namespace vt::host {

/// True once the user has pressed Ctrl-C; the interrupt is then consumed,
/// so the caller's error is an ordinary error that try/catch can handle.
inline bool takeInterrupt() {
#if defined(HAVE_OCTAVE)
  if (octave_interrupt_state > 0 || octave_signal_caught) {
    octave_interrupt_state = 0;
    octave_signal_caught = 0;
    return true;
  }
#endif
  return false;
}

/// Message of a call stopped by Ctrl-C.
inline constexpr const char* kInterruptedMessage = "interrupted (Ctrl-C); nothing was returned";

}  // namespace vt::host
