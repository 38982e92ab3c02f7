// Whether a text has a fixed shape: in the pattern "9" stands for any digit, "A" for a capital
// letter, "a" for a small one; every other character stands for itself.
#pragma once
#include <cctype>
#include <string>

inline bool HasShape(const std::string& text, const std::string& pattern) {
  if (text.size() != pattern.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const char p = pattern[i];
    const bool ok = p == '9' ? std::isdigit(c) != 0 : p == 'A' ? std::isupper(c) != 0
                  : p == 'a' ? std::islower(c) != 0 : c == static_cast<unsigned char>(p);
    if (!ok) return false;
  }
  return true;
}
