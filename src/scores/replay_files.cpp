#include "scores/replay_files.h"

#include <set>
#include <vector>

#include "base/debug_log.h"
#include "base/game_paths.h"
#include "platform/files.h"
#include "platform/stream.h"

namespace {

const std::string kFolder = "replays/";
const std::string kSuffix = ".txt";

// The name's hash keeps a file name short and plain whatever the name holds.
std::string NameHash(const std::string& name) {
  uint32_t h = 2166136261u;
  for (unsigned char c : name) h = (h ^ c) * 16777619u;
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(h >> shift) & 15];
  return hex;
}

std::string FileNameOf(const TScores& r) {
  return std::to_string(r.Timestamp) + "-" + std::to_string(r.Score) + "-" + NameHash(r.Name) + kSuffix;
}

}  // namespace

std::string ReplayPath(const TScores& record) { return GamePath(kFolder + FileNameOf(record)); }

bool HasReplay(const TScores& record) { return record.GameMode >= 0 && FileType(ReplayPath(record)) == FILETYPE_FILE; }

bool SaveReplay(const TScores& record, const TReplay& replay) {
  const std::string path = ReplayPath(record);
  const std::string temporary = path + ".new";
  const std::string text = ReplayText(replay);
  bool written = MakeFolder(GamePath(kFolder));
  if (TStreamPtr out = written ? WriteFile(temporary) : nullptr) {
    written = out->WriteString(text) && out->Sync();
    out->Close();
    written = written && RenameFile(temporary, path);
  } else {
    written = false;
  }
  if (!written) {
    DeleteFile(temporary);
    LogLine("\tCan't write " + path);
  }
  return written;
}

bool LoadReplay(const TScores& record, TReplay& replay, std::string& why) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(ReplayPath(record), bytes, kReplayMostBytes, why)) return false;
  return ParseReplay(std::string(bytes.begin(), bytes.end()), replay, why);
}

void PruneReplays() {
  std::set<std::string> kept;
  for (const TScoresPtr& r : LocalScores)
    if (r->GameMode >= 0) kept.insert(FileNameOf(*r));
  const std::string folder = GamePath(kFolder);
  for (const std::string& name : FolderFiles(folder)) {
    const bool replay = name.size() > kSuffix.size() && name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
    if (replay && !kept.count(name) && DeleteFile(folder + name)) LogLine("\tReplay " + name + " deleted with its record");
  }
}
