#include "corpus/program_version.h"

#include "quorvel_version.h"

namespace vt {

std::string programVersion() { return kQuorvelVersion; }

}  // namespace vt
