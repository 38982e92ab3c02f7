#include "scores/score_file.h"

#include <cstdint>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "base/program_state.h"
#include "platform/files.h"
#include "platform/stream.h"
#include "scores/replay_files.h"
#include "scores/scramble.h"
#include "ui/text_fields.h"

std::string UserName;
std::string Password;

namespace {

bool loaded_once = false;
// The name prompt is editing the newest record: a reload keeps the list as it is.
bool list_held = false;

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

TRecordFields RecordFieldsOf(const TScores& r) {
  TRecordFields f;
  f.Score = r.Score;
  f.Name = r.Name;
  f.Badges = r.Badges;
  f.Timestamp = r.Timestamp;
  f.Level = r.Level;
  f.GameMode = r.GameMode;
  f.GameFlags = r.GameFlags;
  f.Quit = r.Quit;
  for (int k = 1; k <= kLevelValues; ++k) f.Best[size_t(k)] = r.Best[size_t(k)];
  return f;
}

// The protocol's reader holds every field but Score and Timestamp to 32 bits already.
TScoresPtr ScoresFrom(const TRecordFields& f) {
  auto r = std::make_shared<TScores>();
  r->Score = f.Score;
  r->Name = f.Name;
  r->Badges = int32_t(f.Badges);
  r->Timestamp = f.Timestamp;
  r->Level = int32_t(f.Level);
  r->GameMode = int32_t(f.GameMode);
  r->GameFlags = int32_t(f.GameFlags);
  r->Quit = int32_t(f.Quit);
  for (int k = 1; k <= kLevelValues; ++k) r->Best[size_t(k)] = int32_t(f.Best[size_t(k)]);
  return r;
}

std::string ScoreLine(const TScores& r) { return RecordLine(RecordFieldsOf(r), SectionMark); }

TScoresPtr ReadScoreLine(const std::string& line) {
  TRecordFields f;
  return ReadRecordLine(line, SectionMark, f) ? ScoresFrom(f) : nullptr;
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
    // The saved list is the whole list: a replay of a record not in it is no one's.
    PruneReplays();
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
