// Files and folders, standard output and leaving the process.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { FILETYPE_NONE = 0, FILETYPE_FILE = 1, FILETYPE_DIR = 2 };

int FileType(const std::string& path);                 // 0 missing, 1 file, 2 folder
bool DeleteFile(const std::string& path);              // true when the file is gone
bool ChangeDir(const std::string& path);               // a trailing "/" is dropped first
bool MakeFolder(const std::string& path);              // true when it is there, made or not
// The names of the plain files in a folder, sorted; empty when it can't be read.
std::vector<std::string> FolderFiles(const std::string& path);
std::string CurrentDir();
// Reads the whole file into bytes. False, with the reason in words, when it is missing,
// unreadable or longer than limit bytes.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit,
                   std::string& reason);
bool RenameFile(const std::string& from, const std::string& to);  // replaces "to" atomically
// Puts the folder holding path onto the disk, so a rename done in it outlasts a power cut.
bool SyncFolderOf(const std::string& path);
void StandardIOLine(const std::string& text);          // a line on standard output
void StandardErrorLine(const std::string& text);       // a line on standard error
[[noreturn]] void ExitProcess(int code);               // runs the exit hooks, then ends
// Called by ExitProcess before the process ends (the display restores the desktop's mode).
void AddExitHook(void (*hook)());
