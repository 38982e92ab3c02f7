#include "ui/messages.h"

#include <algorithm>

std::vector<ment> MessageList;

void PostMessage(const std::string& text) {
  ment m;
  m.tick = 0;
  m.txt = text;
  m.c = 1;
  MessageList.push_back(m);
}

void PostColouredMessage(const std::string& text, int colour) {
  PostMessage(text);
  MessageList.back().colour = colour;
}

void PostStandingMessage(const std::string& text) {
  PostMessage(text);
  MessageList.back().standing = true;
}

void TakeBackMessage(const std::string& text) {
  MessageList.erase(std::remove_if(MessageList.begin(), MessageList.end(),
                                   [&text](const ment& m) { return m.txt == text; }),
                    MessageList.end());
}
