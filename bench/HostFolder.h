#pragma once
// A temp folder of empty files for the host benchmarks, made once and removed
// with everything in it when the program ends.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace quillet::bench {

class HostFolder {
 public:
  // count files for each printf form, such as "IMG_%06d.JPG".
  HostFolder(int count, std::initializer_list<const char*> forms) {
    char templ[] = "/tmp/qbench-XXXXXX";
    if (!mkdtemp(templ)) return;
    unix_ = templ;
    for (int i = 0; i < count; ++i) {
      for (const char* form : forms) {
        char name[64];
        std::snprintf(name, sizeof name, form, i);
        Make(name);
      }
    }
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  ~HostFolder() {
    std::error_code ec;
    if (!unix_.empty()) std::filesystem::remove_all(unix_, ec);
  }

  // As the program writes a directory: ending in "\"; empty when the folder
  // could not be made.
  std::string Dir() const { return unix_.empty() ? std::string() : unix_ + "\\"; }

  // A file that comes and goes: the folder's change stamp moves.
  void Touch() const {
    Make("zz_touch.tmp");
    unlink((unix_ + "/zz_touch.tmp").c_str());
  }

 private:
  void Make(const char* name) const {
    int fd = open((unix_ + "/" + name).c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd >= 0) close(fd);
  }

  std::string unix_;
};

}  // namespace quillet::bench
