// The floating messages: short texts any screen posts ("Level Complete", "Can't write ..."), which
// the frame presentation draws at the bottom left, ages and removes.
#pragma once
#include <string>
#include <vector>

// A floating message shown at the bottom left for a few seconds.
struct ment {
  int tick = 0;     // frames shown so far
  std::string txt;  // the text
  int c = 0;        // flag given by the poster; not used when drawing
  int colour = -1;  // text colour 0xRRGGBB on the dark backing from the start; -1 the usual
  bool standing = false;  // shown until taken back instead of for a few seconds
};

extern std::vector<ment> MessageList;  // floating messages, oldest first

// Appends a floating message (tick 0, c 1).
void PostMessage(const std::string& text);
// The same in a colour of its own (0xRRGGBB), for an answer read at a glance.
void PostColouredMessage(const std::string& text, int colour);
// A message that stays until taken back, for something still going on.
void PostStandingMessage(const std::string& text);
void TakeBackMessage(const std::string& text);
