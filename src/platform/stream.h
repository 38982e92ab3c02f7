// Byte streams: files and sockets read and written through one interface, with little-endian
// typed helpers and the text-line rules every text file of the game uses (one byte a character,
// CR LF written, CR skipped on reading).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

class TStream {
 public:
  virtual ~TStream() = default;

  virtual bool Eof() = 0;
  virtual int64_t Pos() = 0;              // -1 when the stream has no position
  virtual int64_t Size() = 0;             // -1 when unknown
  virtual int64_t Seek(int64_t pos) = 0;  // new position, -1 on failure
  virtual bool Flush() = 0;               // false when buffered bytes could not be written
  virtual bool Sync() { return Flush(); } // Flush, and for files onto the disk itself
  virtual void Close() = 0;
  virtual int Read(void* buf, int count) = 0;         // bytes read, 0 at the end or on failure
  virtual int Write(const void* buf, int count) = 0;  // bytes written

  // Typed helpers. Reads past the end give 0; writes report whether every byte went out.
  int ReadByte();
  bool WriteByte(int v);
  int ReadShort();
  bool WriteShort(int v);
  int ReadInt();
  bool WriteInt(int v);
  int64_t ReadLong();
  bool WriteLong(int64_t v);
  float ReadFloat();
  bool WriteFloat(float v);
  // Bytes up to LF, a zero byte or the end; CR bytes are skipped.
  virtual std::string ReadLine();  // files read it a buffer at a time rather than a byte per call
  // The text (one byte a character) and CR LF; true only when every byte was written.
  bool WriteLine(const std::string& text);
  // Up to n bytes as text, and text without a terminator.
  std::string ReadString(int n);
  bool WriteString(const std::string& text);

 private:
  bool ReadExact(void* buf, int count);
  bool WriteExact(const void* buf, int count);
};

using TStreamPtr = std::shared_ptr<TStream>;

// Opens a file for reading; null when it can't be opened.
TStreamPtr ReadFile(const std::string& path);
// Creates or truncates a file for writing; null when it can't be created.
TStreamPtr WriteFile(const std::string& path);
// The same, readable and writable by its owner only (for files that hold a password).
TStreamPtr WritePrivateFile(const std::string& path);
// Opens an existing file for reading and writing; null on failure.
TStreamPtr OpenFile(const std::string& path);
