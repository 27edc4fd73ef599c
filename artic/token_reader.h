#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vt {

/// White-space separated tokens of a small text file (area-function and tube
/// key files), read whole into memory so that no file handle stays open.
/// Every read either yields a complete, valid value or throws
/// AreaFunctionFileError naming the file, the token number, the line and what
/// was expected there.
class TokenReader {
 public:
  /// Tokens of text; fileName only appears in error messages.
  TokenReader(std::string fileName, std::string text);

  /// Reads the whole file at path; nullopt when it is not a regular file or
  /// cannot be opened or read. Then whyUnreadable (when given) holds the
  /// reason for a path that exists ("it is a directory", "Permission
  /// denied", ...) and stays empty for one that does not. Throws
  /// AreaFunctionFileError beyond 64 MiB.
  static std::optional<TokenReader> open(const std::string& path,
                                         std::string* whyUnreadable = nullptr);

  /// Next token as a real number as real() reads it, refused unless it is
  /// finite and above lowest (or equal to it, with lowestAllowed); what names
  /// the value with its unit, the message says "above 0" or "0 or more".
  float finiteReal(std::string_view what, float lowest, bool lowestAllowed);

  /// Next token as a word (any run of non-blank characters). what describes
  /// the expected value for the error message, e.g. "the label".
  std::string word(std::string_view what);
  /// Next token as a decimal integer that fits an int (optional sign).
  int integer(std::string_view what);
  /// Next token as a real number, rounded once to single precision (decimal
  /// or exponent notation, inf, nan).
  float real(std::string_view what);

  /// Number of tokens read so far.
  int tokensRead() const { return token_; }
  /// Name of the file, as given.
  const std::string& fileName() const { return name_; }

  /// Throws AreaFunctionFileError about the token read last: "<file>: token k
  /// (line l): <message>".
  [[noreturn]] void failAtLastToken(std::string_view message) const;

 private:
  /// Next token or nullopt at the end of the text; updates the position.
  std::optional<std::string_view> nextToken();
  [[noreturn]] void failExpected(std::string_view what,
                                 std::optional<std::string_view> found) const;

  std::string name_;
  std::string text_;
  std::size_t pos_ = 0;
  int token_ = 0;      // tokens read so far
  int line_ = 1;       // line of the read position
  int tokenLine_ = 1;  // line of the token read last
};

}  // namespace vt
