// The game's folders as full paths, noted once at start-up. Every file the framework reads or
// writes is named through them, so a folder change that fails can never send a file elsewhere.
#pragma once
#include <string>

// Each ends in "/". Before NoteGamePaths they are empty, so names stay relative to the working
// directory (tools and unit tests that set up their own folder).
extern std::string StartFolder;   // the folder the program starts in
extern std::string FilesFolder;   // StartFolder + "Files/", or StartFolder when that is missing
extern std::string CommonFolder;  // FilesFolder + "Common/"
extern std::string GameFolderPath;  // FilesFolder + "003/", or FilesFolder when that is missing
extern std::string LevelsFolder;  // StartFolder + "Levels/"

// Notes the folders below start (a full path; "" means the current directory).
void NoteGamePaths(const std::string& start);
// Back to empty (tests).
void ResetGamePaths();

std::string FilesPath(const std::string& name);
std::string CommonPath(const std::string& name);
std::string GamePath(const std::string& name);
std::string LevelsPath(const std::string& name);

// Makes folder the working directory; a failure is logged and leaves the working directory as it
// was. Callers name files through the paths above either way.
bool EnterFolder(const std::string& folder);
