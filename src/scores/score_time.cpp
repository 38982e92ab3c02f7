#include "scores/score_time.h"

#include <cstdlib>

#include "platform/clock.h"
#include "ui/text_fields.h"

namespace {

// The decimal value of characters from..from + count - 1 (1-based), as the string-to-integer
// service reads it: blanks skipped, digits up to the first other character, sign dropped.
int64_t NumberAt(const std::string& text, size_t from, size_t count) {
  if (from < 1 || from > text.size()) return 0;
  const std::string part = text.substr(from - 1, count);
  size_t i = 0;
  while (i < part.size() && part[i] == ' ') ++i;
  if (i < part.size() && (part[i] == '-' || part[i] == '+')) ++i;
  int64_t value = 0;
  for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) value = value * 10 + (part[i] - '0');
  return value;
}

int MonthOf(const std::string& upper) {
  static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::string name = upper.size() >= 6 ? upper.substr(3, 3) : "";
  for (int m = 0; m < 12; ++m)
    if (name == kMonths[m]) return m + 1;
  return 0;
}

std::string TwoDigits(int64_t v) {
  const std::string s = "00" + std::to_string(v);
  return s.substr(s.size() - 2);
}

}  // namespace

int64_t StampOf(const std::string& dateText, const std::string& timeText) {
  const std::string d = UpperText(dateText);
  const int64_t year = NumberAt(d, 8, 4), month = MonthOf(d), day = NumberAt(d, 1, 2);
  const int64_t hour = NumberAt(timeText, 1, 2), minute = NumberAt(timeText, 4, 2),
                second = NumberAt(timeText, 7, 2);
  return ((((year * 12 + month) * 31 + day) * 24 + hour) * 60 + minute) * 60 + second;
}

int64_t MakeTimestamp(const std::string& dateText) {
  return StampOf(dateText.empty() ? CurrentDate() : dateText, CurrentTime());
}

std::string TimeText(int64_t stamp) {
  return TwoDigits((stamp / 3600) % 24) + ":" + TwoDigits((stamp / 60) % 60) + ":" + TwoDigits(stamp % 60);
}

std::string DateText(int64_t stamp) {
  const int64_t n = stamp / 86400 - 32;
  const std::string year = "0000" + std::to_string(n / 372);
  return TwoDigits(n % 31 + 1) + "-" + TwoDigits((n / 31) % 12 + 1) + "-" + year.substr(year.size() - 4);
}
