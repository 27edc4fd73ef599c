#pragma once

#include <string>

namespace vt {

/// printf-style formatting into a string (messages up to 511 characters).
[[gnu::format(printf, 1, 2)]] std::string formatText(const char* fmt, ...);

}  // namespace vt
