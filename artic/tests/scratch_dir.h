#pragma once
// Temporary directory for test files, removed with its contents at the end of a test.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vt::testing {

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
  ScratchDir& operator=(const ScratchDir&) = delete;

  /// Writes text to the file at the relative path rel (directories created) and
  /// returns its full path.
  std::string write(const std::string& rel, const std::string& text) const {
    const std::filesystem::path p = root_ / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  std::string path(const std::string& rel) const { return (root_ / rel).string(); }

 private:
  std::filesystem::path root_;
};

}  // namespace vt::testing
