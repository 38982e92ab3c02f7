// The settings panel that slides down over any screen on Tab: the display and audio options,
// the control buttons of four players, the volume sliders and the joysticks found.
#include "frontend/settings_panel.h"

#include <vector>

#include "base/settings.h"
#include "framework/display_modes.h"
#include "framework/screen_size.h"
#include "framework/setup_file.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "platform/key_codes.h"
#include "ui/controls.h"
#include "ui/draw_helpers.h"
#include "ui/frame_mouse.h"
#include "ui/pad_layout.h"
#include "ui/panel_state.h"
#include "ui/text_fields.h"

int PanelPlayers = 0;


namespace {
int PanelClickLeft = 0;
int PanelClickRight = 0;
}  // namespace

void ClaimPanelClicks() {
  if (PanelShown() && FrameMouseY < PanelOffset + 300) {
    PanelClickLeft = ClickLeft;
    PanelClickRight = ClickRight;
    ClickLeft = ClickRight = 0;
  } else {
    PanelClickLeft = PanelClickRight = 0;
  }
}

namespace {

const float kGreen[3] = {80, 255, 80};

void Tint(const float (&c)[3]) { Colour(c[0], c[1], c[2]); }

// The resolution area: right, up or a left click moves to the next usable mode, left, down or a
// right click to the previous one, wrapping at both ends.
void ResolutionChooser(bool hot) {
  if (!hot || ModeCount < 1) return;
  int step = 0;
  if (KeyHit(VK_RIGHT) + KeyHit(VK_UP) + ClickLeft > 0) step = 1;
  else if (KeyHit(VK_LEFT) + KeyHit(VK_DOWN) + ClickRight > 0) step = -1;
  if (step == 0) return;
  int mode = Settings[SET_MODE_INDEX] + step;
  if (mode > ModeCount || mode < 1) mode = step > 0 ? 1 : ModeCount;
  Settings[SET_MODE_INDEX] = mode;
  Settings[SET_WIDTH] = ModeWidths[size_t(mode)];
  Settings[SET_HEIGHT] = ModeHeights[size_t(mode)];
}

void GraphicsColumn(int top) {
  Tint(kGreen);
  TextAt(20, top + 4, "Graphics", 0, 0);
  OptionButton(SET_FULLSCREEN, 20, top + 30, 13, "Windowed", "Fullscreen");
  const bool over_button = OptionButton(SET_WIDESCREEN, 20, top + 70, 11, "Resolution") == 1;
  ResolutionChooser(over_button || MouseOver(20, top + 70, 200, 70));
  TextAt(20, top + 108, std::to_string(Settings[SET_WIDTH]) + "x" + std::to_string(Settings[SET_HEIGHT]), 0, 0);
  // The quality line sits in the gap above the next option, so it takes the small font.
  SetImageFont(ScreenFonts[9]);
  const int height = Settings[SET_HEIGHT];
  if (height < 900) {
    Colour(255, 180, 80);
    TextAt(80, top + 128, "Small (Bit blurry)", 0, 0);
  } else if (height > 960) {
    Colour(180, 255, 80);
    TextAt(80, top + 128, "Bigger! (High-Definition!)", 0, 0);
  } else {
    Colour(255, 255, 80);
    TextAt(80, top + 128, "Native (Crisp, Clear)", 0, 0);
  }
  SetImageFont(ScreenFonts[2]);
  OptionButton(SET_SLOW_SYSTEM, 20, top + 146, 18, "Draw all Frames|Decent System", "Frameskip|Slow System");
  // The next game's pace; a game under way keeps the speed it started at.
  Tint(kGreen);
  OptionButton(SET_GAME_SPEED, 20, top + 200, 32, "Game Speed|100 %", "Game Speed|85 %", "Game Speed|70 %",
               "Game Speed|55 %");

  const int w = TextWidth("Apply"), h = TextHeight();
  if (MouseOver(18, top + 258, w + 4, h + 4)) {
    Colour(0, 120, 0, 0.5f);
    DrawRect(18, float(top + 258), float(w + 4), float(h + 4));
    if (ClickLeft > 0) {
      ClickLeft = 0;
      PanelOpen = 0;
      WriteSetupFile();
      ApplyDisplayMode();
    }
  }
  Colour(80, 255, 80, 1.0f);
  TextAt(20, top + 260, "Apply", 0, 0);
}

// The room from the audio column to the panel's right edge.
constexpr int kPadLineRoom = 270;

// What a pad's line says after its name: the input held now, by the name printed on the pad
// where its layout is known, else the player it plays by its layout; "" for neither.
std::string PadLineTail(int j) {
  if (const int held = ScanJoystick(j)) {
    const std::string printed = PrintedInputName(held);
    if (!printed.empty()) return printed;
    return (held % 50 >= 30 ? "Button " : "") + KeyName(held);
  }
  return PadLayerOn(j) ? "Player " + std::to_string(j) : "";
}

// The name cut, with "...", to leave room for the tail on the line.
std::string FitName(std::string name, int room) {
  if (TextWidth(name) <= room) return name;
  while (!name.empty() && TextWidth(name + "...") > room) name.pop_back();
  return name + "...";
}

int VolumeSlider(int value, int x, int y, const std::string& label) {
  const int v = Slider(value, x, y, label);
  return v < 6 ? 0 : v > 94 ? 100 : v;
}

void AudioColumn(int top) {
  const int x = VirtualWidth - 280;
  Tint(kGreen);
  OptionButton(SET_AUDIO_DRIVER, x, top + 20, 24, "AUDIO");
  Colour(255, 180, 180);
  TextAt(x, top + 50, "Changes require a Restart", 0, 0);
  int y = top + 70;
  Settings[SET_MASTER_VOLUME] = VolumeSlider(Settings[SET_MASTER_VOLUME], x, y, "Master Volume");
  y += 50;
  Settings[SET_SOUND_VOLUME] = VolumeSlider(Settings[SET_SOUND_VOLUME], x, y, "Sounds");
  y += 50;
  Settings[SET_MUSIC_VOLUME] = VolumeSlider(Settings[SET_MUSIC_VOLUME], x, y, "Music");
  y += 60;
  for (int j = 1; j <= JoyTotal; ++j, y += 15) {
    const std::string tail = PadLineTail(j);
    const std::string shown = tail.empty() ? "" : " - " + tail;
    const std::string name = FitName(JoyNames[size_t(j)], kPadLineRoom - TextWidth(shown));
    if (JoyButtonDown(0, j - 1)) Colour(255, 255, 80);
    else Tint(kGreen);
    SetAlpha(JoyEnabled[size_t(j)] == 1 ? 1.0f : 0.2f);
    TextAt(x, y, name, 0, 0);
    Colour(180, 180, 255);
    TextAt(x + TextWidth(name), y, shown, 0, 0);
    if (ClickLeft > 0 && MouseOver(x, y, TextWidth(name), 14)) {
      ClickLeft = 0;
      JoyEnabled[size_t(j)] = 1 - JoyEnabled[size_t(j)];
    }
  }
  SetAlpha(1.0f);
}

// The players' buttons: the directions, then the four fire buttons in a diamond.
void ControlsColumns(int top) {
  struct TButton {
    int control, dx, dy;
    float r, g, b;
  };
  static const TButton kButtons[] = {
      {0, 50, 0, 80, 255, 80},    {3, 0, 50, 80, 255, 80},    {5, 100, 50, 80, 255, 80},
      {8, 50, 50, 80, 255, 80},   {13, 190, 0, 255, 255, 80}, {12, 155, 30, 80, 80, 255},
      {11, 225, 30, 255, 80, 80}, {10, 190, 60, 80, 255, 80},
  };
  for (int p = 1; p <= PanelPlayers && p <= 4; ++p) {
    const int x = p <= 2 ? 250 : 650;
    const int y = top + (p % 2 == 1 ? 10 : 160);
    for (const TButton& button : kButtons) {
      Colour(button.r, button.g, button.b);
      DrawControlButton((p - 1) * 20 + button.control, x + button.dx, y + button.dy);
    }
  }
}

}  // namespace

int OptionButton(int element, int x, int y, int iconFrame, const std::string& label0,
                 const std::string& label1, const std::string& label2, const std::string& label3,
                 const std::string& label4, const std::string& label5) {
  std::vector<std::string> labels = {label0, label1, label2, label3, label4, label5};
  if (label0 == "AUDIO") {
    for (size_t i = 0; i < AudioDriverList.size() && i < labels.size(); ++i)
      labels[i] = "Audio Driver|" + AudioDriverList[i];
  }
  int n = 1;
  for (int i = 1; i <= 5; ++i)
    if (!labels[size_t(i)].empty()) n = i + 1;
  const int v = Settings[size_t(element)];
  const bool known = v >= 0 && v < int(labels.size()) && !labels[size_t(v)].empty();
  const std::string caption = known ? labels[size_t(v)] : labels[0];

  Scale(1);
  SetImageFont(ScreenFonts[2]);
  const bool two_lines = caption.find('|') != std::string::npos;
  const std::string first = two_lines ? Field(caption, "|", 1) : caption;
  if (two_lines) {
    TextAt(x + 38, y + 8, first, 0, 1);
    TextAt(x + 38, y + 24, Field(caption, "|", 2), 0, 1);
  } else {
    TextAt(x + 38, y + 16, caption, 0, 1);
  }
  Scale(2);
  const int t = TextWidth(first);
  if (!MouseOver(x, y, t, 32)) DrawSprite(IconsCrisp, float(x), float(y), iconFrame + v);
  int over = 0;
  if (MouseOver(x, y, t + 38, 32)) {
    DrawGlowSprite(IconsCrisp, float(x), float(y), iconFrame + v, IconsFiltered, 1.1f, 0.8f);
    if (ClickLeft > 0) Settings[size_t(element)] = (v + 1) % n;
    over = 1;
  }
  Scale(1);
  return over;
}

int Slider(int value, int x, int y, const std::string& label) {
  Colour(80, 255, 80);
  Scale(3.1f, 1.5f);
  DrawSprite(IconsCrisp, float(x - 2), float(y), 21);
  DrawSprite(IconsCrisp, float(x + 48), float(y), 22);
  Colour(255, 80, 80);
  Scale(1, 1.5f);
  DrawSprite(IconsCrisp, float(x + value - 9), float(y), 23);
  if (MouseOver(x - 2, y - 4, 100, 24) && MouseDown(1)) value = FrameMouseX - x + 2;
  Scale(1, 1);
  Colour(80, 180, 255);
  TextAt(x, y + 20, label + " : " + std::to_string(value), 0, 0);
  return value;
}

void DrawSettingsPanel() {
  ClickLeft = PanelClickLeft;
  ClickRight = PanelClickRight;
  PanelClickLeft = PanelClickRight = 0;
  // Ten frames of 32 pixels to open, ten to close.
  if (PanelOpen == 1 && PanelOffset < 0) PanelOffset += 32;
  if (PanelOpen == 0 && PanelOffset >= -299) PanelOffset -= 32;
  if (PanelOffset < -299) return;

  SetImageFont(ScreenFonts[2]);
  ResetDrawing();
  const float w = float(VirtualWidth);
  SetBlendKind(2);
  Colour(40, 40, 40, 0.8f);
  DrawRect(0, 0, w, float(PanelOffset + 300));
  SetBlendKind(1);
  Colour(80, 80, 80, 0.4f);
  DrawRect(0, 0, w, float(PanelOffset + 298));
  Colour(180, 255, 180, 1.0f);
  DrawRect(0, float(PanelOffset + 298), w, 2);
  SpriteCount[1] = 0;
  SpriteCount[2] = 0;

  // Apply re-enters the frame routine (the engine test draws frames) and this panel with it, so
  // the offset is read once here.
  const int top = PanelOffset;
  GraphicsColumn(top);
  ControlsColumns(top);
  AudioColumn(top);
}

void ResetSettingsPanel() {
  ResetPanelState();
  PanelPlayers = 0;
  PanelClickLeft = PanelClickRight = 0;
}
