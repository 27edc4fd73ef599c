#include "corpus/program_version.h"

namespace vt {

std::string programVersion() { return QUORVEL_VERSION; }

}  // namespace vt
