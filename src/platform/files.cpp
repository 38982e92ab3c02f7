// Files and folders on POSIX.
#include "platform/files.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
std::vector<void (*)()>& ExitHooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}
}  // namespace

int FileType(const std::string& path) {
  struct stat st{};
  if (path.empty() || stat(path.c_str(), &st) != 0) return FILETYPE_NONE;
  if (S_ISDIR(st.st_mode)) return FILETYPE_DIR;
  if (S_ISREG(st.st_mode)) return FILETYPE_FILE;
  return FILETYPE_NONE;
}

bool DeleteFile(const std::string& path) {
  if (FileType(path) != FILETYPE_FILE) return false;
  return unlink(path.c_str()) == 0;
}

bool ChangeDir(const std::string& path) {
  std::string p = path;
  if (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty()) return false;
  return chdir(p.c_str()) == 0;
}

bool MakeFolder(const std::string& path) {
  std::string p = path;
  if (p.size() > 1 && p.back() == '/') p.pop_back();
  return !p.empty() && (mkdir(p.c_str(), 0755) == 0 || FileType(p) == FILETYPE_DIR);
}

std::vector<std::string> FolderFiles(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = opendir(path.empty() ? "." : path.c_str());
  if (!dir) return names;
  const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
  while (const dirent* entry = readdir(dir))
    if (FileType(prefix + entry->d_name) == FILETYPE_FILE) names.push_back(entry->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string CurrentDir() {
  std::vector<char> buf(4096);
  if (!getcwd(buf.data(), buf.size())) return "";
  return buf.data();
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit,
                   std::string& reason) {
  bytes.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    reason = std::strerror(errno);
    return false;
  }
  uint8_t chunk[65536];
  size_t n = 0;
  bool fits = true;
  while (fits && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    fits = bytes.size() + n <= limit;
    if (fits) bytes.insert(bytes.end(), chunk, chunk + n);
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (!fits) reason = "larger than " + std::to_string(limit >> 20) + " MiB";
  else if (failed) reason = "read error";
  return fits && !failed;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

void StandardIOLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void StandardErrorLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void AddExitHook(void (*hook)()) { ExitHooks().push_back(hook); }

void ExitProcess(int code) {
  for (auto hook : ExitHooks()) hook();
  std::fflush(nullptr);
  std::exit(code);
}
