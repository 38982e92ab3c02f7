// File streams: the text-line rules, the little-endian helpers, and files and folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/stream.h"
#include "support/temp_dir.h"

namespace {

TEST(Stream, ReadLineSkipsCarriageReturnsAndStopsAtLineFeedZeroOrEnd) {
  TTempDir dir;
  const char bytes[] = "abc\r\nd\re\n\nx\0y\nlast";
  TTempDir::Write("t.txt", std::string(bytes, sizeof bytes - 1));
  TStreamPtr in = ReadFile("t.txt");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->ReadLine(), "abc");
  EXPECT_EQ(in->ReadLine(), "de");
  EXPECT_EQ(in->ReadLine(), "");
  EXPECT_EQ(in->ReadLine(), "x");
  EXPECT_EQ(in->ReadLine(), "y");
  EXPECT_FALSE(in->Eof());
  EXPECT_EQ(in->ReadLine(), "last");  // no final line feed
  EXPECT_TRUE(in->Eof());
  EXPECT_EQ(in->ReadLine(), "");  // past the end: empty lines
}

TEST(Stream, WriteLineAppendsCarriageReturnAndLineFeed) {
  TTempDir dir;
  TStreamPtr out = WriteFile("w.txt");
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->WriteLine("Key=0,38"));
  EXPECT_TRUE(out->WriteLine(""));
  EXPECT_TRUE(out->WriteLine("\xe9t\xe9"));  // Latin-1 bytes go out unchanged
  out->Close();
  EXPECT_EQ(TTempDir::Read("w.txt"), "Key=0,38\r\n\r\n\xe9t\xe9\r\n");
}

TEST(Stream, WriteLineFailsWhenTheBytesCannotBeWritten) {
  TStreamPtr full = WriteFile("/dev/full");
  ASSERT_TRUE(full);
  // The stream buffers, so the failure shows once the buffer is flushed or the line is long.
  EXPECT_FALSE(full->WriteLine(std::string(1 << 16, 'x')));
}

TEST(Stream, TypedValuesAreLittleEndian) {
  TTempDir dir;
  TStreamPtr out = WriteFile("v.bin");
  ASSERT_TRUE(out);
  out->WriteInt(25);
  out->WriteInt(-4);
  out->WriteShort(0x1234);
  out->WriteByte(0x1ff);
  out->WriteFloat(1.5f);
  out->WriteLong(-2);
  out->WriteString("ok");
  out->Close();
  std::string bytes = TTempDir::Read("v.bin");
  ASSERT_EQ(bytes.size(), 4u + 4 + 2 + 1 + 4 + 8 + 2);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x19\0\0\0", 4));
  EXPECT_EQ(bytes.substr(4, 4), "\xfc\xff\xff\xff");
  EXPECT_EQ(bytes.substr(8, 2), "\x34\x12");
  EXPECT_EQ(bytes[10], '\xff');

  TStreamPtr in = ReadFile("v.bin");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 25);
  EXPECT_EQ(in->ReadInt(), 25);
  EXPECT_EQ(in->ReadInt(), -4);
  EXPECT_EQ(in->ReadShort(), 0x1234);
  EXPECT_EQ(in->ReadByte(), 255);
  EXPECT_FLOAT_EQ(in->ReadFloat(), 1.5f);
  EXPECT_EQ(in->ReadLong(), -2);
  EXPECT_EQ(in->ReadString(10), "ok");
  EXPECT_EQ(in->ReadInt(), 0);  // nothing left
  EXPECT_EQ(in->Seek(8), 8);
  EXPECT_EQ(in->ReadShort(), 0x1234);
}

TEST(Stream, ShortIntegerReadsAsZero) {
  TTempDir dir;
  TTempDir::Write("two.bin", "\x05\x00");
  TStreamPtr in = ReadFile("two.bin");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->ReadInt(), 0);
}

TEST(Files, MissingFilesAndFolders) {
  TTempDir dir;
  EXPECT_FALSE(ReadFile("missing.txt"));
  EXPECT_EQ(FileType("missing.txt"), FILETYPE_NONE);
  EXPECT_EQ(FileType(""), FILETYPE_NONE);
  TTempDir::Write("f.txt", "x");
  EXPECT_EQ(FileType("f.txt"), FILETYPE_FILE);
  EXPECT_EQ(FileType("."), FILETYPE_DIR);
  EXPECT_FALSE(ReadFile("."));  // a folder is not a file to read
  EXPECT_TRUE(DeleteFile("f.txt"));
  EXPECT_EQ(FileType("f.txt"), FILETYPE_NONE);
  EXPECT_FALSE(DeleteFile("f.txt"));
}

TEST(Files, ChangeDirDropsTheTrailingSlash) {
  TTempDir dir;
  ASSERT_TRUE(WriteFile("marker"));
  ASSERT_TRUE(std::filesystem::create_directories("Files/003"));
  EXPECT_TRUE(ChangeDir("Files/"));
  EXPECT_TRUE(ChangeDir("003/"));
  EXPECT_EQ(CurrentDir(), dir.Path() + "/Files/003");
  EXPECT_FALSE(ChangeDir("nowhere/"));
  EXPECT_EQ(CurrentDir(), dir.Path() + "/Files/003");
  EXPECT_TRUE(ChangeDir("../../"));
  EXPECT_EQ(FileType("marker"), FILETYPE_FILE);
}

}  // namespace
