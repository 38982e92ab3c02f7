// Saving the back buffer as an opaque PNG in the files folder, one above the game folder.
#include "framework/screenshot.h"

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "framework/screen_size.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/draw_state.h"
#include "platform/files.h"
#include "platform/pixmap.h"
#include "ui/draw_helpers.h"
#include "ui/messages.h"

std::string CleanFileName(const std::string& text) {
  static const std::string kRemoved = "#',`.\\/:|*?\"";
  std::string out;
  for (char c : text)
    if (kRemoved.find(c) == std::string::npos) out.push_back(c);
  return out;
}

std::string ScreenshotName(const std::string& date, const std::string& time) {
  return CleanFileName(GameTitle + " " + Subtitle + " (Screenshot_" + date + "_" + time + ")") + ".png";
}

std::string FreeFileName(const std::string& name) {
  if (FileType(FilesPath(name)) == FILETYPE_NONE) return name;
  const std::string stem = name.substr(0, name.size() - 4);
  for (int n = 2;; ++n) {
    std::string candidate = stem + " " + std::to_string(n) + ".png";
    if (FileType(FilesPath(candidate)) == FILETYPE_NONE) return candidate;
  }
}

void TakeScreenshot() {
  LogLine("");
  LogLine("\tScreenshot");
  LogLine("\tGrabbing Screenshot");
  TPixmapPtr shot = GrabPixmap(0, 0, CurrentWidth, CurrentHeight);
  ResetDrawing();
  if (shot) {
    // Opaque whatever alpha the back buffer held.
    for (int x = 0; x < shot->width; ++x)
      for (int y = 0; y < shot->height; ++y)
        WritePixel(*shot, x, y, ReadPixel(*shot, x, y) | 0xFF000000u);
  }
  SetImageFont(ScreenFonts[5]);
  TextAt(VirtualWidth / 2, VirtualHeight / 2 - 30, "Saving Screenshot", 1, 1);
  SetImageFont(ScreenFonts[6]);
  TextAt(VirtualWidth / 2, VirtualHeight / 2 + 30, "Sometimes, this takes a while!", 1, 1);
  Flip(-1);

  const std::string name = FreeFileName(ScreenshotName(CurrentDate(), CurrentTime()));
  LogLine("\tSaving Screenshot : " + name);
  const bool saved = shot && SavePixmapPNG(*shot, FilesPath(name), 9);
  LogLine("\tSaved Screenshot " + std::to_string(saved ? 1 : 0));
  LogLine("");
  PostMessage(saved ? "Saved Screenshot" : "Couldn't save the screenshot");
}
