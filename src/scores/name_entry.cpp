#include "scores/name_entry.h"

#include "framework/present_frame.h"
#include "framework/screen_size.h"
#include "platform/clock.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/quit_signals.h"
#include "platform/random.h"
#include "scores/score_records.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"
#include "ui/pad_layout.h"

namespace {

// A pad playing by its layout keeps the name with its south button or Start, so a game played
// on the pad alone ends without the keyboard.
bool PadConfirmHeld() {
  for (int pad = 1; pad <= 4; ++pad)
    if (PadLayerHeld(10, pad)) return true;
  return PadStartHeld();
}

bool ConfirmHeld() { return KeyDown(VK_ESCAPE) || KeyDown(VK_RETURN) || MouseDown(1) || PadConfirmHeld(); }

void WaitForRelease() {
  PollSystem();
  while (ConfirmHeld() && !QuitSignalled()) {
    Delay(5);
    PollSystem();
  }
}

}  // namespace

bool NameCharAllowed(TNameKind kind, const std::string& text, int c, std::string& why) {
  why.clear();
  if (c < 32 || c == 127 || c > 255) return false;
  const std::string what = kind == TNameKind::RecordName ? "a name"
                           : kind == TNameKind::UserName ? "a user name"
                                                         : "a password";
  if (text.size() >= LongestName(kind)) {
    why = "At most " + std::to_string(LongestName(kind)) + " characters in " + what;
    return false;
  }
  if (!NameCharRefused(kind, c)) return true;
  why = c > 126 ? "Only plain letters, digits and signs in " + what
                : "\"" + std::string(1, char(c)) + "\" can't be part of " + what;
  return false;
}

namespace {

// Held keys repeat: one message on screen at a time says it.
void PostOnce(const std::string& text) {
  for (const ment& m : MessageList)
    if (m.txt == text) return;
  PostMessage(text);
}

}  // namespace

std::string EditText(const std::string& text, TNameKind kind) {
  std::string result = text;
  const int c = GetChar();
  std::string why;
  if (c != 0 && NameCharAllowed(kind, result, c, why)) result += char(c);
  else if (!why.empty()) PostOnce(why);
  if (KeyHit(VK_BACKSPACE) && !result.empty()) result.pop_back();
  return result;
}

void EnterName() {
  // Keys pressed during "Game Over" are still waiting in the queue: taken in, then forgotten, so
  // a Return pressed then does not close the prompt at once.
  DrainEvents();
  FlushKeys();
  WaitForRelease();
  for (;;) {
    BeginFrame(1);
    ResetDrawing();
    DrawBackdrop();
    PlayerName = EditText(PlayerName);
    Colour(0, 255, 0);
    const int vw = VirtualWidth, vh = VirtualHeight;
    SetImageFont(ScreenFonts[6]);
    TextAt(vw / 2, vh / 2 - 100, "Enter Your Name", 1, 1);
    SetImageFont(ScreenFonts[5]);
    const std::string cursor = Millis() % 600 < 300 ? "_" : " ";
    const int width = TextWidth(PlayerName), room = vw - 40 - TextWidth("_");
    if (width <= room) {
      TextAt(vw / 2 - width / 2, vh / 2, PlayerName + cursor, 0, 1);
    } else {
      // A long name in the large face would run off both sides of a small screen: shrunk to fit.
      const float shrink = float(room) / float(width);
      Scale(shrink);
      TextAt(vw / 2 - int(float(width) * shrink) / 2, vh / 2 - int(float(TextHeight()) * shrink) / 2, PlayerName + cursor, 0, 0);
      Scale(1);
    }
    const bool confirmed = KeyHit(VK_RETURN) || MouseDown(1) || EscapeHeld() || PadConfirmHeld();
    PresentFrame(1);
    if (confirmed) break;
  }
  SeedRnd(Millisecs());
  WaitForRelease();
}
