#include "protocol/score_line.h"

#include "protocol/name_rules.h"
#include "protocol/text_fields.h"

// The 13th character is the cent sign, code 162.
const std::string SectionMark = "^[+=\xA2!K39qW7%";
const std::string SubmitMark = "|^[+=\xA2!K39qW7 mod |";

namespace {

// The absolute value of a field, held to 32 bits as the game's records keep it.
int64_t Magnitude(const std::string& text) {
  const int64_t v = DecimalValue(text);
  const int64_t a = v < 0 ? -v : v;
  return a > INT32_MAX ? INT32_MAX : a;
}

// A whole decimal number of plain digits; false for anything else. The server stores none below
// 0, so a sign ("-0" too) is refused rather than read.
bool Number(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > kDigitsLongest) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == sep) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

}  // namespace

std::string RecordFieldsText(const TRecordFields& r) {
  return std::to_string(r.Score) + "|" + r.Name + "|" + std::to_string(r.Badges) + "|" +
         std::to_string(r.Timestamp) + "|" + std::to_string(r.Level) + "|" + std::to_string(r.GameMode) + "|" +
         std::to_string(r.GameFlags) + "|" + std::to_string(r.Quit);
}

std::string RecordLevelsText(const TRecordFields& r) {
  std::string text;
  for (int k = 1; k <= kLevelValues; ++k) text += (k > 1 ? "|" : "") + std::to_string(r.Best[size_t(k)]);
  return text;
}

std::string RecordLine(const TRecordFields& r, const std::string& mark) {
  return RecordFieldsText(r) + mark + RecordLevelsText(r);
}

bool ReadRecordFields(const std::string& f, const std::string& g, TRecordFields& r) {
  if (f.find('|') == std::string::npos) return false;
  r = TRecordFields();
  r.Score = DecimalValue(Field(f, "|", 1));
  r.Name = TrimText(Field(f, "|", 2));
  r.Badges = Magnitude(Field(f, "|", 3));
  r.Timestamp = DecimalValue(Field(f, "|", 4));
  r.Level = Magnitude(Field(f, "|", 5));
  r.GameMode = Magnitude(Field(f, "|", 6));
  r.GameFlags = Magnitude(Field(f, "|", 7));
  r.Quit = Magnitude(Field(f, "|", 8));
  for (int k = 1; k <= kLevelValues; ++k) r.Best[size_t(k)] = Magnitude(Field(g, "|", k));
  return true;
}

bool ReadRecordLine(const std::string& line, const std::string& mark, TRecordFields& r) {
  return ReadRecordFields(Field(line, mark, 1), Field(line, mark, 2), r);
}

std::string TableText(const std::vector<TRecordFields>& entries) {
  std::string body;
  for (const TRecordFields& r : entries) {
    if (!body.empty()) body += "\n";
    body += RecordFieldsText(r) + "\n" + RecordLevelsText(r);
  }
  return body;
}

std::vector<TRecordFields> ReadTableText(const std::string& body) {
  std::vector<TRecordFields> entries;
  for (int k = 1; k <= kTableEntries; ++k) {
    TRecordFields r;
    if (ReadRecordFields(Field(body, "\n", 2 * k - 1), Field(body, "\n", 2 * k), r)) entries.push_back(r);
  }
  return entries;
}

bool ParseSubmission(const std::string& line, TRecordFields& r) {
  const size_t mark = line.find(SubmitMark);
  if (mark == std::string::npos) return false;
  const std::vector<std::string> f = Split(line.substr(0, mark), '|');
  const std::vector<std::string> best = Split(line.substr(mark + SubmitMark.size()), '|');
  if (f.size() != 8 || best.size() != size_t(kLevelValues)) return false;
  r = TRecordFields();
  for (int k = 1; k <= kLevelValues; ++k) {
    int64_t& v = r.Best[size_t(k)];
    if (!Number(best[size_t(k - 1)], v) || v > kLevelValueHighest) return false;
  }
  r.Name = f[1];
  if (!ValidName(TNameKind::RecordName, r.Name)) return false;
  int64_t* numbers[7] = {&r.Score, &r.Badges, &r.Timestamp, &r.Level, &r.GameMode, &r.GameFlags, &r.Quit};
  const int at[7] = {0, 2, 3, 4, 5, 6, 7};
  for (int i = 0; i < 7; ++i)
    if (!Number(f[size_t(at[i])], *numbers[i])) return false;
  return r.Score <= kScoreHighest && r.Level >= kWorldLowest && r.Level <= kWorldHighest && r.GameMode <= kModeHighest &&
         r.GameFlags <= kFlagsHighest && r.GameFlags % 2 == 0 && r.Quit <= kQuitHighest && r.Badges <= kBadgesHighest;
}
