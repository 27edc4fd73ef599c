#pragma once

#include <optional>
#include <string>
#include <vector>

#include "simulator/signal_tap.h"

namespace vt {

/// One internal signal a synthesis can return beside the radiated pressure.
struct InternalSignalInfo {
  const char* name;         ///< name in requests, on the command line and in file names
  NetworkSignal signal;     ///< the network quantity
  const char* unit;         ///< unit of its values
  const char* description;  ///< what it is, physically
  bool needsNasal;          ///< exists only with the nasal branch
};

/// Every internal signal, in a fixed order.
const std::vector<InternalSignalInfo>& internalSignals();

/// The signal of that name, if there is one.
std::optional<InternalSignalInfo> findInternalSignal(const std::string& name);

/// The list of names and units, one signal per line, for help texts.
std::string internalSignalHelp(const char* indent);

}  // namespace vt
