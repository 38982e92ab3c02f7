// The Online tab: two text boxes and a Login button, then the refresh button, the message of the
// day and the online table. The requests themselves are the online score service's.
#include "frontend/online_panel.h"

#include <string>

#include "base/program_state.h"
#include "platform/draw_state.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "scores/name_entry.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "ui/draw_helpers.h"
#include "ui/frame_mouse.h"

int LoginField = 0;

namespace {

const int kBoxHeight = 30;

bool Clicked(int x, int y, int w, int h) { return ClickLeft > 0 && MouseOver(x, y, w, h); }

void Button(int x, int y, int w, const std::string& caption, bool lit) {
  Colour(lit ? 80.0f : 255.0f, 255, lit ? 80.0f : 255.0f, 0.4f);
  DrawRect(float(x), float(y), float(w), kBoxHeight);
  Colour(255, 255, 255, 1.0f);
  TextAt(x + w / 2, y + kBoxHeight / 2, caption, 1, 1);
}

// A labelled box; the active one shows a blinking cursor.
void TextBox(int x, int y, int w, const std::string& label, const std::string& shownText, bool active) {
  Colour(255, 255, 255, 1.0f);
  TextAt(x, y - 20, label);
  Colour(active ? 255.0f : 160.0f, 255, 255, active ? 0.35f : 0.2f);
  DrawRect(float(x), float(y), float(w), kBoxHeight);
  Colour(255, 255, 255, 1.0f);
  const bool cursor = active && Millis() % 600 < 300;
  TextAt(x + 6, y + kBoxHeight / 2, shownText + (cursor ? "_" : ""), 0, 1);
}

void LoginPanel(int panelX, int panelW) {
  const int x = panelX + 20, w = panelW - 40;
  UseFont(1, 2);
  // Keys typed while no box is active (the tab's own "2") must not land in the next box chosen.
  if (LoginField == 0)
    while (GetChar() != 0) {
    }
  if (LoginField == 1) UserName = EditText(UserName, TNameKind::UserName);
  if (LoginField == 2) Password = EditText(Password, TNameKind::Password);
  // Return moves from the name to the password; a click chooses a box, or leaves both.
  if (KeyHit(VK_RETURN) && LoginField == 1) LoginField = 2;
  TextBox(x, 120, w, "User name", UserName, LoginField == 1);
  TextBox(x, 190, w, "Password", std::string(Password.size(), '*'), LoginField == 2);
  if (ClickLeft > 0) {
    LoginField = MouseOver(x, 120, w, kBoxHeight) ? 1 : MouseOver(x, 190, w, kBoxHeight) ? 2 : 0;
  }
  Button(x, 240, w, "Login", MouseOver(x, 240, w, kBoxHeight));
  if (Clicked(x, 240, w, kBoxHeight)) {
    LoginField = 0;
    Login();
  }
  Colour(180, 255, 180, 1.0f);
  TextAt(panelX + panelW / 2, 300, "Use a new name,", 1, 0);
  TextAt(panelX + panelW / 2, 320, "and you'll be registered.", 1, 0);
  if (LoginFailed) {
    Colour(255, 80, 80, 1.0f);
    TextAt(panelX + panelW / 2, 360, LoginError(), 1, 0);
  }
}

void LoggedInPanel(int panelX, int panelW) {
  const int x = panelX + 20, w = panelW - 40;
  UseFont(1, 2);
  const bool over = MouseOver(x, 110, w, kBoxHeight);
  Button(x, 110, w, "Refresh Scores", over || RefreshState != 0);
  if (RefreshState == 0 && MouseDown(1) && over) RefreshState = 1;
  Colour(255, 255, 180, 1.0f);
  for (int i = 1; i <= MotdCount; ++i) TextAt(panelX + panelW / 2, 130 + 18 * i, MotdLines[size_t(i)], 1, 0);
  RefreshStep(panelX, panelW);
}

}  // namespace

void OnlineFrame(int panelX, int panelW, bool shown) {
  if (!shown) {
    LoginField = 0;
    if (LoggedIn) DrawScoreTable(panelX, panelW, ~GameMode, StartWorld, 0, 0);
    return;
  }
  Colour(255, 255, 255, 1.0f);
  UseFont(1, 7);
  TextAt(panelX + panelW / 2, 50, "Online", 1, 0);
  if (LoggedIn) LoggedInPanel(panelX, panelW);
  else LoginPanel(panelX, panelW);
}
