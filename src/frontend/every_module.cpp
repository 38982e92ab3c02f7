#include "frontend/every_module.h"

#include "audio/music_file.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "base/game_paths.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/display_modes.h"
#include "framework/present_frame.h"
#include "frontend/main_program.h"
#include "frontend/settings_panel.h"
#include "frontend/title_screen.h"
#include "game/game_session.h"
#include "game/game_state.h"
#include "game/level_check.h"
#include "game/level_editor.h"
#include "platform/draw_state.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "platform/quit_signals.h"
#include "scores/http_client.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_records.h"
#include "scores/score_table.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"

void ResetEveryModule() {
  // The platform: drawing state (the display's size kept), image defaults, input, joysticks.
  ResetDrawState();
  ResetImageDefaults();
  ResetInput();
  ResetJoysticks();
  ResetQuitSignal();
  // Base and the interface: the folders, the setup values, the controls, the drawing helpers.
  ResetGamePaths();
  ResetMainProgram();
  SetDefaultSettings();
  SetDefaultControls();
  ResetDrawHelpers();
  // Sound and music.
  ResetSoundEffects();
  ResetMusicPlayer();
  ResetMusicFile();
  // The frame: presentation, display modes and sizes, the loaded assets.
  ResetPresentFrame();
  ResetDisplayModes();
  ResetCommonAssets();
  // The game.
  ResetGameState();
  ResetGameSession();
  ResetEditorLatches();
  ResetLevelCheck();
  // The scores.
  ResetScoreRecords();
  ResetScoreFile();
  ResetScoreTableAnimation();
  ResetOnlineScores();
  ResetHttpClient();
  // The screens on top.
  ResetSettingsPanel();
  ResetTitleScreen();
  InstallFrontEndSteps();
}
