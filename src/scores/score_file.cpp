#include "scores/score_file.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "scores/scramble.h"
#include "ui/text_fields.h"

std::string UserName;
std::string Password;

namespace {

bool loaded_once = false;
// The name prompt is editing the newest record: a reload keeps the list as it is.
bool list_held = false;

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

// A line that fails its checks is dropped, and the next save writes the file without it: the
// file as it was read is kept beside it first, so nothing is lost for good.
void KeepDamagedFile(const std::string& path, int damaged) {
  const std::string kept = GamePath("nuscores.bad");
  std::vector<uint8_t> bytes;
  std::string reason;
  bool written = ReadWholeFile(path, bytes, size_t(64) << 20, reason);
  if (TStreamPtr out = written ? WritePrivateFile(kept) : nullptr) {
    written = out->Write(bytes.data(), int(bytes.size())) == int(bytes.size()) && out->Sync();
    out->Close();
  } else {
    written = false;
  }
  LogLine("	" + std::to_string(damaged) + " damaged lines in " + path +
          (written ? ": the file as read is kept as " + kept : ": it could not be kept as " + kept));
}

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
  // The list holds games played since it was loaded: saved first, and kept in memory as it is when
  // that fails (a reload would drop them) or while the name prompt names the newest one.
  if (loaded_once && (!SaveScores() || list_held)) {
    LogLine("\tScores kept as they are, not read again from " + path);
    return;
  }
  if (FileType(path) != FILETYPE_FILE) return;
  TStreamPtr in = ReadFile(path);
  if (!in) {
    LogLine("\tCan't read " + path);
    return;
  }
  loaded_once = true;
  const std::string first = in->ReadLine();
  const std::string credentials = Unscramble(first, HeaderCode);
  int damaged = first.size() > 2 && credentials == "XXX" ? 1 : 0;
  UserName = Field(credentials, "|", 1);
  Password = Field(credentials, "|", 2);
  LocalScores.clear();
  int count = 0;
  do {
    std::string line = in->ReadLine();
    if (line.size() > 2) {
      line = Unscramble(line, "");
      damaged += line == "XXX";
    }
    TScoresPtr record = ReadScoreLine(line);
    if (!record) continue;
    if (count++ == 0) PlayerName = record->Name;
    LocalScores.push_back(record);
    SortScores(LocalScores);
  } while (!in->Eof());
  in->Close();
  if (damaged > 0) KeepDamagedFile(path, damaged);
}

bool SaveScores() {
  const std::string path = GamePath("nuscores.dat");
  const std::string temporary = path + ".new";
  // It holds the online password: the owner's alone.
  TStreamPtr out = WritePrivateFile(temporary);
  if (!out) {
    LogLine("\tCan't write " + path);
    return false;
  }
  bool written = out->WriteLine(CredentialsLine());
  SortScores(LocalScores);
  for (const TScoresPtr& r : LocalScores)
    if (r->GameMode >= 0) written = written && out->WriteLine(Scramble(ScoreLine(*r), ""));
  // On the disk before it replaces the old file, and the rename on the disk too: a power cut
  // leaves the old file or the new one, whole.
  written = written && out->Sync();
  out->Close();
  if (written && RenameFile(temporary, path)) {
    SyncFolderOf(path);
    loaded_once = true;
    return true;
  }
  DeleteFile(temporary);
  LogLine("\tCan't write " + path);
  return false;
}

void HoldScoreList(bool held) { list_held = held; }

void ResetScoreFile() {
  loaded_once = false;
  list_held = false;
}
