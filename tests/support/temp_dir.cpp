#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/files.h"

TTempDir::TTempDir() {
  previous_ = CurrentDir();
  char templ[] = "/tmp/lambrisk-test-XXXXXX";
  char* made = mkdtemp(templ);
  path_ = made ? made : "";
  if (!path_.empty()) ChangeDir(path_);
}

TTempDir::~TTempDir() {
  ChangeDir(previous_);
  if (path_.rfind("/tmp/lambrisk-test-", 0) == 0) {
    std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) std::perror("rm");
  }
}

void TTempDir::Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string TTempDir::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
