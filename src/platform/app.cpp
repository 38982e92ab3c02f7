#include "platform/app.h"

namespace {
std::string& Title() {
  static std::string title;
  return title;
}
}  // namespace

void SetAppTitle(const std::string& title) { Title() = title; }
const std::string& AppTitle() { return Title(); }
