#include "ui/text_fields.h"

#include <cctype>

std::string UpperText(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}
