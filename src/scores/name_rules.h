// What the player may type as a record's name and as the online login: the limits the score
// server checks, kept in this one place so that entry refuses what a request would only fail on
// later (as "WRONG PASSWORD", or a record the server silently drops).
#pragma once
#include <cstddef>
#include <string>

enum class TNameKind { RecordName, UserName, Password };

constexpr size_t kLoginShortest = 4;  // user names and passwords alike
constexpr size_t kUserNameLongest = 24;
constexpr size_t kPasswordLongest = 64;
constexpr size_t kRecordNameLongest = 40;

// The login text with each character that would break a request or a file replaced by "_":
// * " ' - + & ? { } [ ] ~ # \ / : ;
std::string CleanLoginText(const std::string& text);
size_t LongestName(TNameKind kind);
// Whether the typed character code c may follow text. When it may not, why is a short message for
// the player, or "" for control codes (Tab, Return, Escape), which are simply never inserted.
bool NameCharAllowed(TNameKind kind, const std::string& text, int c, std::string& why);
