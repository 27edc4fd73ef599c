#pragma once

#include <string>

namespace vt {

/// Release of the program, recorded in the metadata of every utterance.
std::string programVersion();

}  // namespace vt
