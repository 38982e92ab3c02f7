#include "support/editor_session.h"

#include <filesystem>

#include "base/program_state.h"
#include "game/game_session.h"

namespace {

THeadlessOptions EditorDisplay() {
  THeadlessOptions o;
  o.width = 1280;
  o.height = 960;
  return o;
}

}  // namespace

TEditorSession::TEditorSession() : game(EditorDisplay()) {
  std::filesystem::copy_file(std::string(LAMBRISK_SOURCE_DIR) + "/data/levels/blank.txt",
                             game.Root() + "/Files/003/blank.txt");
  std::filesystem::create_directories(game.Root() + "/Levels");
  GameMode = 0;
  GameState = 1;
  StartWorld = 1;
  StartGame();
}

void TEditorSession::Play(int frames) {
  for (int i = 0; i < frames; ++i) GameFrame();
}
