#pragma once

#include <stdexcept>
#include <string>

namespace vt {

/// Raised by the readers of area-function files and tube key files: the file
/// cannot be opened, announces an unexpected number of sections, or holds a
/// value that is missing, not a number or out of order. what() names the file
/// and, for malformed contents, the token number, the line and what was expected.
class AreaFunctionFileError : public std::runtime_error {
 public:
  explicit AreaFunctionFileError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vt
