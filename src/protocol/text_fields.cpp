#include "protocol/text_fields.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Position of the first occurrence of what in text at or after start (1-based), 0 when absent.
int Instr(const std::string& text, const std::string& what, int start) {
  if (start < 1) start = 1;
  if (size_t(start - 1) > text.size()) return 0;
  const size_t at = text.find(what, size_t(start - 1));
  return at == std::string::npos ? 0 : int(at) + 1;
}

}  // namespace

std::string TrimText(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

std::string Field(const std::string& text, const std::string& separator, int n, int spaceToo) {
  const std::string t = TrimText(text);
  int prev = 0;
  int start = 1;
  bool failed = false;
  for (int i = 1; i < n; ++i) {
    const int p = Instr(t, separator, start);
    // The next field starts after the whole separator (the score lines' mark is 13 characters);
    // a missing one counts as found at 0, which fails after the first field.
    const int next = p > 0 ? p + std::max(1, int(separator.size())) : 1;
    if (next <= prev) {
      failed = true;
    } else {
      prev = next;
    }
    if (spaceToo == 1) {
      const int s = Instr(t, " ", start);
      if (s > 0 && s + 1 < prev) prev = s + 1;
    }
    start = prev;
  }
  int len = Instr(t, separator, start) - start;
  if (spaceToo == 1) {
    const int s = Instr(t, " ", start);
    if (s > 0 && s - start < len) len = s - start;
  }
  if (failed) return "-+-";
  if (start < 1 || size_t(start - 1) > t.size()) return "";
  return len < 0 ? t.substr(size_t(start - 1)) : t.substr(size_t(start - 1), size_t(len));
}

int HexToInt(const std::string& text) {
  int result = 0;
  for (char c : text) {
    int digit = 0;
    if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      digit = std::atoi(std::string(1, c).c_str());
    }
    result = int(unsigned(result) * 16u + unsigned(digit));
  }
  return result;
}

int64_t DecimalValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
  }
  return negative ? -value : value;
}
