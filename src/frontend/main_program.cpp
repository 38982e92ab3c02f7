// Start-up in its fixed order, the global state it creates, and the hand-over to the title
// screen and the farewell.
#include "frontend/main_program.h"

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/present_frame.h"
#include "framework/setup_file.h"
#include "frontend/farewell.h"
#include "frontend/settings_panel.h"
#include "frontend/title_screen.h"
#include "game/game_session.h"
#include "platform/app.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/quit_signals.h"
#include "platform/sound.h"
#include "platform/stream.h"
#include "scores/finished_game.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/score_table.h"
#include "scores/scramble.h"
#include "ui/controls.h"
#include "ui/text_fields.h"

namespace {


bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}


void WriteBanner() {
  const std::string rule(28, '-');
  LogLine("Corvenna's Pellmoor Engine");
  LogLine(rule);
  LogLine("Week #" + std::to_string(WeekNumber));
  LogLine(rule);
  LogLine(TitleLine);
  LogLine(rule);
  LogLine("");
  LogLine("Loading");
}

void SelectAudioDriver() {
  LogLine("Setting Audio Driver");
  int index = Settings[SET_AUDIO_DRIVER];
  if (index >= 0 && index < int(AudioDriverList.size())) {
    const std::string& name = AudioDriverList[size_t(index)];
    // OpenAL is only asked for when its library loads; the platform default stays otherwise.
    if (AudioDriverExists(name) && (!StartsWith(UpperText(name), "OPENAL") || OpenALInstalled()) &&
        !SetAudioDriver(name))
      LogLine("\t" + name + " did not start; the game stays silent");
  }
  LogLine("Set Audio Driver");
  LogLine("");
}

}  // namespace

void ResetMainProgram() {
  ResetSettings();
  AudioDriverChosen = 0;
  SlowSystemChosen = 0;
  PauseOnFocusLoss = 1;
  ResetAboutPage();
  MotdLines.fill("");
  ResetProgramState();
  UserName.clear();
  Password.clear();
}

void PrepareFrontEnd() {
  GameState = 0;
  PanelPlayers = 4;
  BadgeCount = 16;
}

int ClampStartWorld(int limit) {
  if (limit < 1) return 1;
  if (limit > 20) return 20;
  return limit;
}

void ReadStartWorldLimit() {
  StartWorldLimit = 1;
  const std::string path = GamePath("zivazo.dat");
  if (FileType(path) != FILETYPE_NONE) {
    if (TStreamPtr in = ReadFile(path)) {
      StartWorldLimit = in->ReadInt();
      in->Close();
    }
  }
  StartWorldLimit = ClampStartWorld(StartWorldLimit);
}

void InstallFrontEndSteps() {
  SetFrontEndSteps(DrawSettingsPanel, ClaimPanelClicks, Farewell);
  AddAssetLoadStep(LoadScores);
  AddKeepStep([] { SaveScores(); });
  SetGameRecordStep(AddFinishedGame);
}

void CreateGlobalState() {
  InstallFrontEndSteps();
  SetAppTitle(TitleLine);
  ResetMainProgram();
  // The program draws its own pointer.
  HidePointer();
  LastFrameTime = Millisecs();
  SetUpJoysticks();
  SetDefaultControls();
  SetDefaultSettings();
  BuildScrambleKey();
}

void Main() {
  static bool started = false;
  if (started) return;
  started = true;

  InstallQuitSignals();
  CreateGlobalState();

  NoteGamePaths(CurrentDir());
  EnterFolder(FilesFolder);
  OpenDebugLog(FilesPath("Debug.txt"));
  WriteBanner();
  if (FilesFolder == StartFolder) LogLine("\tNo \"Files/\" folder: the game's files stay beside it");

  AudioDriverList = AudioDrivers();
  if (AudioDriverList.size() > 100) AudioDriverList.resize(100);
  ReadSetupFile();
  if (!AudioDriverChosen) {
    int chosen = DefaultAudioDriver(AudioDriverList);
    if (chosen >= 0) Settings[SET_AUDIO_DRIVER] = chosen;
  }
  SelectAudioDriver();

  LogLine("\tRequested Resolution : " + std::to_string(Settings[SET_WIDTH]) + "x" + std::to_string(Settings[SET_HEIGHT]));
  LogLine("\tSetup Loaded");
  LogLine("");
  LogLine("Grabbing Previous Scores");
  LogLine("");

  EnterFolder(GameFolderPath);
  int loading_started = Millisecs();
  ApplyDisplayMode();
  PrepareFrontEnd();
  LogLine("Finished Loading");
  // The loading screen stays up for at least 2.5 seconds.
  while (Millisecs() - loading_started < 2500 && !QuitSignalled()) Delay(1);

  ReadStartWorldLimit();
  StartWorld = StartWorldLimit;
  GameMode = 1;

  RunTitleScreen();
  Farewell();
}
