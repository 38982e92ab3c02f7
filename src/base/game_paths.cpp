#include "base/game_paths.h"

#include "base/debug_log.h"
#include "base/program_state.h"
#include "platform/files.h"

std::string StartFolder;
std::string FilesFolder;
std::string CommonFolder;
std::string GameFolderPath;
std::string LevelsFolder;

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// A missing folder leaves its files in the folder above, as the game has always done.
std::string SubfolderOr(const std::string& parent, const std::string& name) {
  const std::string folder = parent + name;
  return FileType(folder) == FILETYPE_DIR ? folder : parent;
}

}  // namespace

void NoteGamePaths(const std::string& start) {
  StartFolder = WithSlash(start.empty() ? CurrentDir() : start);
  FilesFolder = SubfolderOr(StartFolder, "Files/");
  CommonFolder = FilesFolder + "Common/";
  GameFolderPath = SubfolderOr(FilesFolder, GameFolder());
  LevelsFolder = StartFolder + "Levels/";
}

void ResetGamePaths() {
  StartFolder.clear();
  FilesFolder.clear();
  CommonFolder.clear();
  GameFolderPath.clear();
  LevelsFolder.clear();
}

std::string FilesPath(const std::string& name) { return FilesFolder + name; }
std::string CommonPath(const std::string& name) { return CommonFolder + name; }
std::string GamePath(const std::string& name) { return GameFolderPath + name; }
std::string LevelsPath(const std::string& name) { return LevelsFolder + name; }

bool EnterFolder(const std::string& folder) {
  if (folder.empty() || ChangeDir(folder)) return true;
  LogLine("\tCan't enter the folder " + folder);
  return false;
}
