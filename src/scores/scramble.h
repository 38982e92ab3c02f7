// The score file's reversible scrambling: each line is rotated, masked twice with a key and
// written as hexadecimal, carrying two checksums so that an edited line is recognised and dropped.
// The online service shares the algorithm and its keys.
#pragma once
#include <string>

extern std::string ScrambleKey;        // built at start-up from the title and KeyPhrase
extern const std::string HeaderCode;   // "7QD42HN8": the key of the credentials line
extern const std::string SectionMark;  // between a record's fields and its 30 per-level values
extern const std::string KeyPhrase;    // the second source of ScrambleKey: 20 fixed characters

// Derives ScrambleKey; run once at start-up before any score is read or written.
void BuildScrambleKey();
// Checksum of a text: positions weighted by 3 i, modulo 4096.
int ScrambleChecksum(const std::string& text);
// Text to upper-case hexadecimal of 2 (n + 12) characters; an empty key means ScrambleKey.
std::string Scramble(const std::string& text, const std::string& key);
// The reverse; "XXX" when either checksum fails.
std::string Unscramble(const std::string& text, const std::string& key);
