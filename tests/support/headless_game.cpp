#include "support/headless_game.h"

#include <filesystem>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "framework/display_modes.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "frontend/every_module.h"
#include "frontend/main_program.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "ui/draw_helpers.h"

THeadlessGame::THeadlessGame(const THeadlessOptions& options)
    : audio_(std::make_shared<TAudioLog>()),
      driver_(options.driver ? options.driver : std::make_shared<TRecordingDriver>()) {
  SetClock(&clock_);
  SetDrawDriver(driver_);
  UseAudioDriver(NewRecordingDriver(audio_));
  ResetEveryModule();
  // Loading is over when a screen first runs.
  PrepareFrontEnd();
  ShowPointer();

  namespace fs = std::filesystem;
  fs::create_directories(fs::path(Root()) / "Files" / "003");
  fs::create_directories(fs::path(Root()) / "Files" / "Common");
  if (options.real_data)
    fs::copy(fs::path(LAMBRISK_GAME_DIR) / "Files", fs::path(Root()) / "Files",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  // The size the display step would have chosen, and the display open at it.
  Settings[5] = CurrentWidth = options.width;
  Settings[6] = CurrentHeight = options.height;
  ChooseVirtualResolution(CurrentWidth, CurrentHeight);
  OpenGraphics(CurrentWidth, CurrentHeight);
  SetVirtualResolution(float(VirtualWidth), float(VirtualHeight));

  NoteGamePaths(Root());
  EnterFolder(FilesFolder);
  OpenDebugLog(FilesPath("Debug.txt"));
  EnterFolder(GameFolderPath);
  AddEventSource(&script_);
}

THeadlessGame::~THeadlessGame() {
  RemoveEventSource(&script_);
  CloseDebugLog();
  ResetEveryModule();
  CloseGraphics();
  SetDrawDriver(nullptr);
  ResetDrawState();
  ShutdownAudio();
  SetClock(nullptr);
}

std::string THeadlessGame::ReadFile(const std::string& path) const {
  return TTempDir::Read(Root() + "/" + path);
}

int THeadlessGame::Frame(int showPointer) {
  BeginFrame(1);
  return PresentFrame(showPointer);
}
