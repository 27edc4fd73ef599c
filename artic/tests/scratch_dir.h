#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vt::testing {

/// Temporary directory for test files, removed with its contents at the end of a test.
class ScratchDir {
 public:
  ScratchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vt-afiles-XXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) root_ = tmpl;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;

  /// Writes text to rel (directories created); returns the full path.
  std::string write(const std::string& rel, const std::string& text) const {
    std::filesystem::create_directories((root_ / rel).parent_path());
    std::ofstream(root_ / rel, std::ios::binary) << text;
    return path(rel);
  }
  std::string path(const std::string& rel) const { return (root_ / rel).string(); }

 private:
  std::filesystem::path root_;
};

}  // namespace vt::testing
