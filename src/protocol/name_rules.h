// What a name may be, for the game that lets it be typed and the server that stores it alike: one
// rule per kind, so that a name the game's entry takes is a name the server keeps.
#pragma once
#include <cstddef>
#include <string>

enum class TNameKind { RecordName, UserName, Password };

constexpr size_t kLoginShortest = 4;  // user names and passwords alike
constexpr size_t kUserNameLongest = 24;
constexpr size_t kPasswordLongest = 64;
constexpr size_t kRecordNameLongest = 40;

size_t ShortestName(TNameKind kind);  // 0 for a record's name
size_t LongestName(TNameKind kind);
// Whether the character code c (any int; a typed character is 0 to 255) may never be part of a
// name of this kind.
bool NameCharRefused(TNameKind kind, int c);
// Whether text is a whole name of this kind: its length within the bounds, no refused character.
bool ValidName(TNameKind kind, const std::string& text);
// The login text with each character that would break a request or a file replaced by "_":
// * " ' - + & ? { } [ ] ~ # \ / : ;
std::string CleanLoginText(const std::string& text);
