// The entry point: everything the program does happens inside Main. The two informational options
// are answered here, before anything opens a window or writes a file.
#include <cstdio>
#include <cstring>

#include "frontend/main_program.h"

namespace {
const char kUsage[] =
    "Usage: lambrisk [--help | --version]\n"
    "\n"
    "A small arcade game: time a sheep's walk, and later its jump, past 100 levels of moving\n"
    "hazards. Tab opens the settings panel, E on the title screen the level editor, Escape pauses\n"
    "a game or leaves from the title screen.\n"
    "\n"
    "The game runs in the folder it is started from and keeps its files there: \"Files/Setup.ini\",\n"
    "\"Files/Debug.txt\" (the debug log), screenshots in \"Files/\", scores in \"Files/003/\" and\n"
    "your own levels in \"Levels/\". The installed 'lambrisk' command runs it in\n"
    "$XDG_DATA_HOME/lambrisk (or ~/.local/share/lambrisk), made on the first start.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
      std::printf("lambrisk %s\n", LAMBRISK_VERSION);
      return 0;
    }
    std::fprintf(stderr, "lambrisk: unknown option '%s'\n\n%s", argv[1], kUsage);
    return 2;
  }
  Main();
  return 0;
}
