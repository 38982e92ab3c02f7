// Typed stream helpers and the file stream.
#include "platform/stream.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool TStream::ReadExact(void* buf, int count) { return Read(buf, count) == count; }

bool TStream::WriteExact(const void* buf, int count) { return Write(buf, count) == count; }

int TStream::ReadByte() {
  uint8_t b = 0;
  return ReadExact(&b, 1) ? b : 0;
}

bool TStream::WriteByte(int v) {
  uint8_t b = uint8_t(v);
  return WriteExact(&b, 1);
}

int TStream::ReadShort() {
  uint8_t b[2] = {};
  if (!ReadExact(b, 2)) return 0;
  return b[0] | (b[1] << 8);
}

bool TStream::WriteShort(int v) {
  uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
  return WriteExact(b, 2);
}

int TStream::ReadInt() {
  uint8_t b[4] = {};
  if (!ReadExact(b, 4)) return 0;
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

bool TStream::WriteInt(int v) {
  uint32_t u = uint32_t(v);
  uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  return WriteExact(b, 4);
}

int64_t TStream::ReadLong() {
  uint8_t b[8] = {};
  if (!ReadExact(b, 8)) return 0;
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
  return int64_t(u);
}

bool TStream::WriteLong(int64_t v) {
  uint64_t u = uint64_t(v);
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = uint8_t(u >> (8 * i));
  return WriteExact(b, 8);
}

float TStream::ReadFloat() {
  uint32_t u = uint32_t(ReadInt());
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

bool TStream::WriteFloat(float v) {
  uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  return WriteInt(int(u));
}

std::string TStream::ReadLine() {
  std::string line;
  uint8_t b = 0;
  while (Read(&b, 1) == 1) {
    if (b == 10 || b == 0) break;
    if (b != 13) line.push_back(char(b));
  }
  return line;
}

bool TStream::WriteLine(const std::string& text) {
  std::string out = text + "\r\n";
  return WriteExact(out.data(), int(out.size()));
}

std::string TStream::ReadString(int n) {
  if (n <= 0) return "";
  std::string s(size_t(n), '\0');
  int got = Read(&s[0], n);
  s.resize(size_t(got > 0 ? got : 0));
  return s;
}

bool TStream::WriteString(const std::string& text) {
  return text.empty() || WriteExact(text.data(), int(text.size()));
}

namespace {

class TFileStream : public TStream {
 public:
  explicit TFileStream(FILE* f) : f_(f) {}
  ~TFileStream() override { Close(); }

  bool Eof() override {
    if (!f_) return true;
    int c = std::fgetc(f_);
    if (c == EOF) return true;
    std::ungetc(c, f_);
    return false;
  }
  int64_t Pos() override { return f_ ? int64_t(std::ftell(f_)) : -1; }
  int64_t Size() override {
    if (!f_) return -1;
    std::fflush(f_);
    struct stat st{};
    if (fstat(fileno(f_), &st) != 0) return -1;
    return int64_t(st.st_size);
  }
  int64_t Seek(int64_t pos) override {
    if (!f_ || std::fseek(f_, long(pos), SEEK_SET) != 0) return -1;
    return Pos();
  }
  bool Flush() override { return f_ && std::fflush(f_) == 0; }
  bool Sync() override { return Flush() && fsync(fileno(f_)) == 0; }
  void Close() override {
    if (f_) std::fclose(f_);
    f_ = nullptr;
  }
  int Read(void* buf, int count) override {
    if (!f_ || count <= 0) return 0;
    return int(std::fread(buf, 1, size_t(count), f_));
  }
  int Write(const void* buf, int count) override {
    if (!f_ || count <= 0) return 0;
    return int(std::fwrite(buf, 1, size_t(count), f_));
  }
  // The same line rule as every stream, straight from stdio's buffer: level files are read whole
  // a line at a time every time a level starts.
  std::string ReadLine() override {
    std::string line;
    if (!f_) return line;
    flockfile(f_);
    for (int c; (c = getc_unlocked(f_)) != EOF;) {
      if (c == 10 || c == 0) break;
      if (c != 13) line.push_back(char(c));
    }
    funlockfile(f_);
    return line;
  }

 private:
  FILE* f_;
};

TStreamPtr Open(const std::string& path, const char* mode) {
  struct stat st{};
  // Folders open fine with fopen on Linux but read as errors; treat them as missing files.
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return nullptr;
  return std::make_shared<TFileStream>(f);
}

}  // namespace

TStreamPtr ReadFile(const std::string& path) { return Open(path, "rb"); }
TStreamPtr WriteFile(const std::string& path) { return Open(path, "wb"); }
TStreamPtr OpenFile(const std::string& path) { return Open(path, "r+b"); }

TStreamPtr WritePrivateFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  // A file made earlier with wider rights is narrowed too.
  struct stat st{};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fchmod(fd, 0600) != 0) {
    close(fd);
    return nullptr;
  }
  FILE* f = fdopen(fd, "wb");
  if (!f) {
    close(fd);
    return nullptr;
  }
  return std::make_shared<TFileStream>(f);
}
