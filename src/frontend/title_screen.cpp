#include "frontend/title_screen.h"

#include <cstdlib>

#include "audio/sound_effects.h"
#include "base/game_speed.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "framework/common_assets.h"
#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "frontend/online_panel.h"
#include "game/game_session.h"
#include "game/replay_player.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "protocol/name_rules.h"
#include "scores/online_scores.h"
#include "scores/replay_files.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/frame_mouse.h"
#include "ui/messages.h"
#include "ui/pad_layout.h"
#include "ui/panel_state.h"

// The build's switch (LAMBRISK_ONLINE_TAB, 0 or 1).
const int OnlineTab = LAMBRISK_ONLINE_TAB;
int SlideIn = 0;
int TitleTab = TAB_HISCORES;
std::array<std::string, 100> AboutText{};
int AboutCount = 1;

namespace {

const char* const kAboutLines[] = {
    "A Game by Corvenna",
    "corvenna.example  -  tamblin.example",
    "",
    "-=-=--=-=-=-=-=-=-=-=-",
    "Instructions",
    "",
    "Look at the sheep.",
    "Look at him stroll.",
    "He moves to the left.",
    "That how it goes.",
    "-=-=--=-=-=-=-=-=-=-=-",
    "",
    "Credits",
    "",
    "Game",
    "Made with Quorrel",
    "using Corvenna's Framework",
    "",
    "Graphics",
    // The fonts by the names the game loads them under, with the authors of the free faces
    // staged under those names (tools/assetgen/README.md lists which face is which).
    "Font : SVBasicManual by DejaVu Team",
    "Font : November by Steve Matteson",
    "Font : Blue Highway by S. Matteson",
    "Font : Acknowledge TT by J. Aakerlund",
    "All other graphics by Corvenna",
    "",
    "Music/SFX by Corvenna",
    "",
    "Additional Sound Effects",
    "created using",
    "assetgen, our own synthesiser",
    "tools/assetgen in the source",
};

void AddAboutLine(const std::string& line) {
  if (AboutCount < int(AboutText.size())) AboutText[size_t(AboutCount++)] = line;
}

const int kEditorKey = 'E';
const int kWatchKey = 'W';

int StripScroll = 0;
int TabLatch = 0;
// Set by anything done on a press; cleared at the end of a frame with none of the start inputs
// held, so one press does one thing.
int Held = 0;
// A start input was held at the end of the last frame.
int StartInputHeld = 0;
// Escape still down from the game that just ended: it must be let go before it leaves.
int EscapeFromGame = 0;

int PanelW() { return TitlePanelWidth(CurrentWidth); }

bool AnyPortHeld(int control, int lastPort) {
  for (int port = 1; port <= lastPort; ++port)
    if (PlayerControl(control, port)) return true;
  return false;
}

bool AnyStartInputHeld() {
  for (int control : {10, 11, 12, 13, 0, 8, 3, 5})
    if (AnyPortHeld(control, 4)) return true;
  return KeyDown(VK_RETURN) != 0 || PadStartHeld();
}

void ButtonStrip(int slideY) {
  StripScroll -= 5;
  if (StripScroll < 2000) StripScroll += 2000;
  const int vw = VirtualWidth;
  const int y = VirtualHeight / 2 + slideY + 200;
  Colour(255, 255, 255, 1.0f);
  Scale(0.75f);
  for (int k = 1; k <= 10; ++k) {
    const int e = ((k + 10) * 200 + StripScroll) % 2000;
    const float away = float(std::abs(e - ((vw - PanelW()) / 2 + 180)));
    SetAlpha(1.0f - ClampFloat(away / 450.0f, 0.0f, 1.0f));
    DrawSprite(ButtonSheet, float(e - 200), float(y), k - 1);
  }
  SetAlpha(1.0f);
  DrawSprite(ButtonSheet, 10, float(y), 11);
  ResetDrawing();
}

void SidePanel(int panelX) {
  const int w = PanelW();
  Colour(0, 0, 0, 0.5f);
  DrawRect(float(panelX), 5, float(w), float(VirtualHeight - 10));
  Colour(255, 255, 255, 0.3f);
  DrawRect(float(panelX), 5, float(w), 35);
  UseFont(1, 2);
  SetAlpha(1.0f);
  const char* const captions[3] = {"1.Hiscore", "2.Online", "3.About"};
  const float at[3] = {0.2f, 0.5f, 0.8f};
  for (int tab = 0; tab < 3; ++tab) {
    if (tab == TAB_ONLINE && OnlineTab != 1) continue;
    const float shade = tab == TitleTab ? 255.0f : 0.0f;
    Colour(shade, shade, shade);
    TextAt(panelX + int(float(w) * at[tab]), 23, captions[tab], 1, 1);
  }
}

// Keys 1 to 3 (or F1 to F3), or the left button held over a caption; one choice per press.
void ChooseTab(int panelX) {
  const int w = PanelW();
  const bool online = OnlineTab == 1;
  // Digits typed into a login box are text, not tab choices.
  const bool typing = LoginField != 0;
  const bool keys[3] = {(!typing && KeyDown('1')) || KeyDown(VK_F1),
                        online && ((!typing && KeyDown('2')) || KeyDown(VK_F2)),
                        (!typing && KeyDown('3')) || KeyDown(VK_F3)};
  const float at[3] = {0.0f, 0.33f, 0.66f};
  bool anything = MouseDown(1) != 0;
  for (int tab = 0; tab < 3; ++tab) {
    anything = anything || keys[tab];
    const bool clicked = MouseDown(1) && (tab != TAB_ONLINE || online) &&
                         MouseOver(panelX + int(float(w) * at[tab]), 5, int(0.3f * float(w)), 50);
    if ((keys[tab] || clicked) && !TabLatch) {
      TitleTab = tab;
      TabLatch = 1;
      PlaySfx(98, 2.0f, 1.0f, 0.0f);
    }
  }
  if (!anything) TabLatch = 0;
  static const float kTints[3][3] = {{0.2f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.2f}, {0.0f, 0.2f, 1.0f}};
  for (int c = 0; c < 3; ++c) BackdropTarget[size_t(c)] = kTints[TitleTab][c];
}

void AboutPage(int panelX) {
  Colour(255, 255, 255, 1.0f);
  UseFont(1, 7);
  TextAt(panelX + PanelW() / 2, 50, "About", 1, 0);
  UseFont(1, 2);
  for (int i = 1; i < AboutCount; ++i) TextAt(panelX + PanelW() / 2, 95 + 20 * i, AboutText[size_t(i)], 1, 0);
}

void SettingsHint() {
  const bool small = CurrentWidth < 900;
  UseFont(2, small ? 4 : 3);
  // At the starting size the hint blinks, so a new player finds the display options.
  const bool blink = Settings[SET_WIDTH] == 800 && Millis() % 800 < 400;
  Colour(255, 255, blink ? 0 : 255, 1.0f);
  TextAt(4, 4, "Hit [Tab] for settings");
  Colour(180, 255, 180);
  UseFont(2, small ? 3 : 2);
  TextAt(4, 35, "Redefine Controls");
  TextAt(4, 55, "Audio Options");
  TextAt(4, 75, "and Hi-Def gaming!");
}

// A game (mode 1) or an editing session (mode 0), and the way back to a title that slides in.
void StartSession(int mode, bool parkPointer) {
  PlaySfx(98, 1.5f, 1.0f, 0.0f);
  const TChannelPtr& music = ChannelTable[1];
  if (music && music->Playing()) music->Stop();
  GameState = 1;
  if (parkPointer) MoveMouse(float(VirtualWidth), float(VirtualHeight));
  GameMode = mode;
  // The game keeps the speed it starts at, whatever the panel chooses meanwhile; the editor has
  // none.
  GameFlags = mode == 1 ? GameSpeedFlags(Settings[SET_GAME_SPEED]) : 0;
  GameClockStart = Millis();
  RunGame();
  GameState = 0;
  ResetScoreTableAnimation();
  Held = 1;
  EscapeFromGame = 1;
  SlideIn = 0;
}

// A record's game again on the game screen, from its replay (an online one's from the server),
// and the way back to a title that slides in.
void Watch(const TScoresPtr& record) {
  TReplay replay;
  std::string why;
  const bool have = record->GameMode < 0 ? FetchOnlineReplay(*record, replay, why) : LoadReplay(*record, replay, why);
  if (!have || !WatchReplay(replay, why)) {
    PostMessage("Can't watch that game: " + why);
    return;
  }
  ResetScoreTableAnimation();
  Held = 1;
  EscapeFromGame = 1;
  SlideIn = 0;
}

void WorldChooser() {
  const int cx = (VirtualWidth - PanelW()) / 2;
  UseFont(2, 6);
  Colour(255, 255, 255, 1.0f);
  TextAt(cx, VirtualHeight / 2 + 25 * SlideIn - 730, "< Start World >", 1, 1);
  const int y = 25 * SlideIn + VirtualHeight / 2 - 675;
  for (int w = 1; w <= 20; ++w) {
    const float fade = 0.7f - float(std::abs(w - StartWorld)) / 5.0f;
    if (w == StartWorld) Colour(180, 255, 255, 1.0f);
    else if (w > StartWorldLimit) Colour(180, 0, 0, fade);
    else Colour(180, 180, 180, fade);
    TextAt(cx + 90 * w - 90 * StartWorld, y, std::to_string(w), 1, 1);
  }
  SetAlpha(1.0f);
  GameMode = 1;
  // The panel's buttons bind the keys pressed over them; the title leaves those keys alone.
  if (PanelShown()) return;
  const bool left = AnyPortHeld(3, 2), right = AnyPortHeld(5, 2);
  const bool up = AnyPortHeld(0, 2), down = AnyPortHeld(8, 2);
  if (left && !Held) {
    StartWorld = std::max(StartWorld - 1, 1);
    PlaySfx(98, 0.9f, 1.0f, 0.0f);
    Held = 1;
  }
  if (right && !Held) {
    StartWorld = std::min(StartWorld + 1, StartWorldLimit);
    PlaySfx(98, 1.1f, 1.0f, 0.0f);
    Held = 1;
  }
  if (up && !Held && LoginField == 0) {
    PlaySfx(98, 0.95f, 1.0f, 0.0f);
    if (--GameMode == -1) GameMode = 0;
    Held = 1;
  }
  if (down && !Held && LoginField == 0) {
    PlaySfx(98, 1.05f, 1.0f, 0.0f);
    if (++GameMode == 1) GameMode = 0;
    Held = 1;
  }
}

}  // namespace

int TitlePanelWidth(int current_width) { return current_width > 899 ? 335 : 415; }

std::string StartInputName(int code) {
  // Return always starts a game, and is what is left when fire 1 is unbound.
  if (code == 0) return "Return";
  if (code < 300) return KeyName(code);
  // A pad's inputs are named by their axis, direction or button number alone: say whose, and
  // what the pad prints on it where its layout is known.
  const std::string pad = "Pad " + std::to_string(code / 50 - 5) + " ";
  const std::string printed = PrintedInputName(code);
  if (!printed.empty()) return pad + printed;
  return pad + (code % 50 >= 30 ? "Button " : "") + KeyName(code);
}

std::string SpeedCaption(int flags) { return "Game Speed " + std::to_string(GameSpeedPercent(GameSpeedOfFlags(flags))) + " %"; }

std::string StartPrompt() {
  std::string inputs = StartInputName(ControlTable[10]);
  // A pad playing by its layout starts a game with its south button (and its Start).
  if (const int pad = FirstLayeredPad()) inputs += " or Pad " + std::to_string(pad) + " " + PrintedSouthName(pad);
  return "Press Start (" + inputs + ") To Begin";
}

bool TitleFrame() {
  BeginFrame(1);
  ResetDrawing();
  DrawBackdrop();
  UserName = CleanLoginText(UserName);
  Password = CleanLoginText(Password);

  if (SlideIn < 32) SlideIn += 2;
  const int slideY = 800 - 25 * SlideIn;
  const int panelX = slideY + VirtualWidth - PanelW() - 5;
  ButtonStrip(slideY);
  SidePanel(panelX);
  if (!PanelShown()) ChooseTab(panelX);

  Colour(255, 255, 255, 1.0f);
  // The tables shown are those of the speed the next game would be played at.
  GameFlags = GameSpeedFlags(Settings[SET_GAME_SPEED]);
  DrawScoreTable(panelX, PanelW(), GameMode, StartWorld, GameFlags, TitleTab == TAB_HISCORES ? 1 : 0);
  UseFont(1, 7);
  Colour(255, 255, 255, 1.0f);
  if (TitleTab == TAB_HISCORES) {
    TextAt(panelX + PanelW() / 2, 50, "Hiscores", 1, 0);
    UseFont(2, 3);
    Colour(180, 255, 180);
    TextAt(panelX + PanelW() / 2, 135, SpeedCaption(GameFlags), 1, 0);
  }
  if (TitleTab == TAB_ABOUT) AboutPage(panelX);
  if (OnlineTab == 1) OnlineFrame(panelX, PanelW(), TitleTab == TAB_ONLINE);
  SettingsHint();

  Colour(255, 255, 255, 1.0f);
  SetImageFont(ScreenFonts[7]);
  TextAt((VirtualWidth - PanelW()) / 2, VirtualHeight / 2 - 25 * SlideIn + 755, StartPrompt(), 1, 1);

  // A start input held at the end of the last frame starts a game, unless that press already
  // did something (Held) or the settings panel or a login box has the keyboard.
  if (StartInputHeld && !Held && PanelOffset < -250 && LoginField == 0) StartSession(1, true);
  // The editor's key is not latched: holding it opens the editor at once (not while the panel,
  // which binds keys pressed over its buttons, is shown, nor while a login box takes letters).
  if (KeyDown(kEditorKey) && !PanelShown() && LoginField == 0) StartSession(0, false);
  // W, or a click on "Watch", plays the game of the record in the detail box again.
  const bool watchKey = KeyHit(kWatchKey) > 0 && !PanelShown() && LoginField == 0;
  if (TScoresPtr record = WatchAsked ? WatchAsked : watchKey ? SelectedRecord() : nullptr) {
    WatchAsked = nullptr;
    if (record->GameMode < 0 || HasReplay(*record)) Watch(record);
  }

  WorldChooser();

  SetImageFont(ScreenFonts[5]);
  Colour(255, 255, 255, 1.0f);
  DrawImage(TitleLogo, float((VirtualWidth - PanelW()) / 2),
            float(VirtualHeight / 2 - ImageHeight(TitleLogo) / 2 - 25 * SlideIn + 650));

  StartInputHeld = AnyStartInputHeld() ? 1 : 0;
  if (!StartInputHeld) Held = 0;
  // While the panel is shown nothing held there may start a game once it closes.
  if (PanelShown() && StartInputHeld) Held = 1;

  PresentFrame(1);
  if (!KeyDown(VK_ESCAPE)) EscapeFromGame = 0;
  return !(EscapeHeld() && !EscapeFromGame);
}

void RunTitleScreen() {
  while (TitleFrame()) {
  }
}

void ResetAboutPage() {
  AboutText.fill("");
  AboutCount = 1;
  for (const char* line : kAboutLines) AddAboutLine(line);
}

void ResetTitleScreen() {
  SlideIn = 0;
  TitleTab = TAB_HISCORES;
  LoginField = 0;
  StripScroll = 0;
  TabLatch = 0;
  Held = 0;
  StartInputHeld = 0;
  EscapeFromGame = 0;
}
