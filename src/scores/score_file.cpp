#include "scores/score_file.h"

#include <climits>
#include <cstdint>

#include "framework/debug_log.h"
#include "framework/game_paths.h"
#include "framework/main_program.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "scores/scramble.h"
#include "ui/text_fields.h"

namespace {

bool loaded_once = false;

// A decimal number as the string-to-integer service reads it, held at the 64-bit ends.
int64_t Decimal(const std::string& text) {
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

// The absolute value of a 32-bit field.
int32_t Magnitude(const std::string& text) {
  const int64_t v = Decimal(text);
  const int64_t a = v < 0 ? -v : v;
  return a > INT32_MAX ? INT32_MAX : int32_t(a);
}

std::string CredentialsLine() { return Scramble(UserName + "|" + Password, HeaderCode); }

}  // namespace

std::string ScoreLine(const TScores& r) {
  std::string line = std::to_string(r.Score) + "|" + r.Name + "|" + std::to_string(r.Badges) + "|" +
                     std::to_string(r.Timestamp) + "|" + std::to_string(r.Level) + "|" +
                     std::to_string(r.GameMode) + "|" + std::to_string(r.GameFlags) + "|" +
                     std::to_string(r.Quit) + SectionMark;
  for (int k = 1; k <= 30; ++k) line += (k > 1 ? "|" : "") + std::to_string(r.Best[size_t(k)]);
  return line;
}

TScoresPtr ReadScoreLine(const std::string& line) {
  return ReadScoreFields(Field(line, SectionMark, 1), Field(line, SectionMark, 2));
}

TScoresPtr ReadScoreFields(const std::string& f, const std::string& g) {
  if (f.find('|') == std::string::npos) return nullptr;
  auto r = std::make_shared<TScores>();
  r->Score = Decimal(Field(f, "|", 1));
  r->Name = TrimText(Field(f, "|", 2));
  r->Badges = Magnitude(Field(f, "|", 3));
  r->Timestamp = Decimal(Field(f, "|", 4));
  r->Level = Magnitude(Field(f, "|", 5));
  r->GameMode = Magnitude(Field(f, "|", 6));
  r->GameFlags = Magnitude(Field(f, "|", 7));
  r->Quit = Magnitude(Field(f, "|", 8));
  for (int k = 1; k <= 30; ++k) r->Best[size_t(k)] = Magnitude(Field(g, "|", k));
  return r;
}

void LoadScores() {
  const std::string path = GamePath("nuscores.dat");
  if (loaded_once) SaveScores();
  if (FileType(path) != FILETYPE_FILE) return;
  TStreamPtr in = ReadFile(path);
  if (!in) {
    LogLine("\tCan't read " + path);
    return;
  }
  loaded_once = true;
  const std::string credentials = Unscramble(in->ReadLine(), HeaderCode);
  UserName = Field(credentials, "|", 1);
  Password = Field(credentials, "|", 2);
  LocalScores.clear();
  int count = 0;
  do {
    std::string line = in->ReadLine();
    if (line.size() > 2) line = Unscramble(line, "");
    TScoresPtr record = ReadScoreLine(line);
    if (!record) continue;
    if (count++ == 0) PlayerName = record->Name;
    LocalScores.push_back(record);
    SortScores(LocalScores);
  } while (!in->Eof());
  in->Close();
}

bool SaveScores() {
  const std::string path = GamePath("nuscores.dat");
  const std::string temporary = path + ".new";
  TStreamPtr out = WriteFile(temporary);
  if (!out) return false;
  bool written = out->WriteLine(CredentialsLine());
  SortScores(LocalScores);
  for (const TScoresPtr& r : LocalScores)
    if (r->GameMode >= 0) written = written && out->WriteLine(Scramble(ScoreLine(*r), ""));
  written = written && out->Flush();
  out->Close();
  if (written && RenameFile(temporary, path)) {
    loaded_once = true;
    return true;
  }
  DeleteFile(temporary);
  LogLine("\tCan't write " + path);
  return false;
}

void ResetScoreFile() { loaded_once = false; }
