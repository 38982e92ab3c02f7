#include "protocol/name_rules.h"

namespace {

const std::string kCleanedInLogins = "*\"'-+&?{}[]~#\\/:;";

}  // namespace

size_t ShortestName(TNameKind kind) { return kind == TNameKind::RecordName ? 0 : kLoginShortest; }

size_t LongestName(TNameKind kind) {
  switch (kind) {
    case TNameKind::UserName: return kUserNameLongest;
    case TNameKind::Password: return kPasswordLongest;
    case TNameKind::RecordName: break;
  }
  return kRecordNameLongest;
}

bool NameCharRefused(TNameKind kind, int c) {
  // Control codes are never text; Delete (127) is one too, though the keyboard types it.
  if (c < 32 || c == 127 || c > 255) return true;
  // "<" and ">" in any name or password could make a table the server sends read as a web page
  // ("<HEAD>"), which every client takes for no table at all.
  if (c == '<' || c == '>' || c == '|') return true;
  // A record's name goes into the score file's line and the submission's, where "|" splits the
  // fields and "^" begins the mark before the level values: with "^" refused, no name can hold
  // either mark, so a stored name always reads back whole. Refusing is the safe side: a name the
  // server took and the file could not hold would shift every field after it.
  if (kind == TNameKind::RecordName) return c == '^';
  // A login travels as plain ASCII, and the characters the login cleaning replaces would not
  // arrive as typed.
  return c > 126 || kCleanedInLogins.find(char(c)) != std::string::npos;
}

bool ValidName(TNameKind kind, const std::string& text) {
  if (text.size() < ShortestName(kind) || text.size() > LongestName(kind)) return false;
  for (unsigned char c : text)
    if (NameCharRefused(kind, c)) return false;
  return true;
}

std::string CleanLoginText(const std::string& text) {
  std::string clean = text;
  for (char& t : clean)
    if (kCleanedInLogins.find(t) != std::string::npos) t = '_';
  return clean;
}
