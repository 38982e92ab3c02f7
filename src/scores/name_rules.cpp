// The name rules: lengths, and the characters each kind of name refuses with the reason.
#include "scores/name_rules.h"


std::string CleanLoginText(const std::string& text) {
  std::string clean = text;
  for (char c : std::string("*\"'-+&?{}[]~#\\/:;"))
    for (char& t : clean)
      if (t == c) t = '_';
  return clean;
}

size_t LongestName(TNameKind kind) {
  switch (kind) {
    case TNameKind::UserName: return kUserNameLongest;
    case TNameKind::Password: return kPasswordLongest;
    case TNameKind::RecordName: break;
  }
  return kRecordNameLongest;
}

bool NameCharAllowed(TNameKind kind, const std::string& text, int c, std::string& why) {
  why.clear();
  if (c < 32 || c > 255) return false;
  const bool record = kind == TNameKind::RecordName;
  const std::string what = record ? "a name" : kind == TNameKind::UserName ? "a user name" : "a password";
  if (text.size() >= LongestName(kind)) {
    why = "At most " + std::to_string(LongestName(kind)) + " characters in " + what;
    return false;
  }
  const std::string typed(1, char(c));
  // A record's name: "|" splits a score line into fields and "^" begins the mark between its two
  // parts. "<" and ">" in a name shown in a table could make the table the server sends back read
  // as a web page, and the server takes them in no name or password. A login travels as plain
  // ASCII, and the characters the login cleaning replaces would not arrive as typed.
  const bool refused = c == '<' || c == '>' ||
                       (record ? c == '|' || c == '^' : c > 126 || c == '|' || CleanLoginText(typed) != typed);
  if (!refused) return true;
  why = c > 126 ? "Only plain letters, digits and signs in " + what
                : "\"" + typed + "\" can't be part of " + what;
  return false;
}
