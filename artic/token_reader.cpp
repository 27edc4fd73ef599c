#include "artic/token_reader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include <sys/stat.h>

#include "artic/area_function_file_error.h"

namespace vt {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

/// Token quoted for a message, shortened when it is very long.
std::string quoted(std::string_view token) {
  constexpr std::size_t kMax = 40;
  std::string s = "\"";
  if (token.size() > kMax) {
    s.append(token.substr(0, kMax));
    s += "...";
  } else {
    s.append(token);
  }
  s += '"';
  return s;
}

/// A leading '+' is accepted as in formatted input; from_chars does not take it.
std::string_view withoutPlus(std::string_view t) {
  if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  return t;
}

/// The whole token t as a T (a leading '+' allowed); nullopt if it is not one
/// or lies outside T's range.
template <class T>
std::optional<T> parseWhole(std::string_view t) {
  const std::string_view s = withoutPlus(t);
  T v{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

}  // namespace

TokenReader::TokenReader(std::string fileName, std::string text)
    : name_(std::move(fileName)), text_(std::move(text)) {}

std::optional<TokenReader> TokenReader::open(const std::string& path, std::string* whyUnreadable) {
  std::string ignored;
  std::string& why = whyUnreadable ? *whyUnreadable : ignored;
  why.clear();
  // Only regular files: a directory cannot be read, a device such as
  // /dev/zero never ends, and opening a FIFO blocks until a writer comes.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) why = std::strerror(errno);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    why = S_ISDIR(st.st_mode) ? "it is a directory" : "it is not a regular file";
    return std::nullopt;
  }
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rt"));
  if (!f) {
    why = std::strerror(errno);
    return std::nullopt;
  }
  // Far beyond any area-function or key file (40 sections take a few hundred bytes).
  constexpr std::size_t kMaxBytes = 64u << 20;
  std::string text;
  char buf[4096];
  for (;;) {
    const std::size_t got = std::fread(buf, 1, sizeof buf, f.get());
    text.append(buf, got);
    if (text.size() > kMaxBytes) {
      throw AreaFunctionFileError(path + ": larger than 64 MiB, not an area-function or key file");
    }
    if (got < sizeof buf) break;
  }
  if (std::ferror(f.get())) {
    why = std::string("read error: ") + std::strerror(errno);
    return std::nullopt;
  }
  return TokenReader(path, std::move(text));
}

std::optional<std::string_view> TokenReader::nextToken() {
  while (pos_ < text_.size() && isBlank(text_[pos_])) {
    if (text_[pos_] == '\n') ++line_;
    ++pos_;
  }
  if (pos_ >= text_.size()) return std::nullopt;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
  ++token_;
  tokenLine_ = line_;
  return std::string_view(text_).substr(start, pos_ - start);
}

void TokenReader::failAtLastToken(std::string_view message) const {
  throw AreaFunctionFileError(name_ + ": token " + std::to_string(token_) + " (line " +
                              std::to_string(tokenLine_) + "): " + std::string(message));
}

void TokenReader::failExpected(std::string_view what, std::optional<std::string_view> found) const {
  if (!found) {
    throw AreaFunctionFileError(name_ + ": end of file after token " + std::to_string(token_) +
                                " (line " + std::to_string(line_) + "): expected " +
                                std::string(what));
  }
  failAtLastToken("expected " + std::string(what) + ", found " + quoted(*found));
}

std::string TokenReader::word(std::string_view what) {
  const auto t = nextToken();
  if (!t) failExpected(what, t);
  return std::string(*t);
}

int TokenReader::integer(std::string_view what) {
  const auto t = nextToken();
  if (!t) failExpected(what, t);
  if (const auto v = parseWhole<int>(*t)) return *v;
  failExpected(std::string(what) + " (an integer)", t);
}

float TokenReader::real(std::string_view what) {
  const auto t = nextToken();
  if (!t) failExpected(what, t);
  if (const auto v = parseWhole<float>(*t)) return *v;
  failExpected(std::string(what) + " (a number within single precision)", t);
}

float TokenReader::finiteReal(std::string_view what, float lowest, bool lowestAllowed) {
  const float v = real(what);
  if (!std::isfinite(v) || v < lowest || (!lowestAllowed && v == lowest)) {
    std::string bound = std::to_string(lowest);
    bound.erase(bound.find_last_not_of('0') + 1);
    if (bound.back() == '.') bound.pop_back();
    failAtLastToken(std::string(what) + " must be a finite number " +
                    (lowestAllowed ? bound + " or more" : "above " + bound));
  }
  return v;
}

}  // namespace vt
