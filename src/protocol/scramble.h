// The reversible scrambling of the score file's lines and of the online messages: each text is
// rotated, masked twice with a key and written as hexadecimal, carrying two checksums so that an
// edited line is recognised. The key is always given: the game keeps its own (ScrambleKey), the
// server derives the same one.
#pragma once
#include <string>

extern const std::string HeaderCode;  // "7QD42HN8": the credentials' key, in the file and online
extern const std::string KeyPhrase;   // the second source of the scramble key: 20 fixed characters
extern const std::string ScrambleFailed;  // "XXX": what a text that fails a check unscrambles to

// The key from its sources: 2 (len(title) + len(phrase)) characters, alternately from the ranges
// 31 to 105 and 36 to 106. Title and phrase must not be empty.
std::string DeriveScrambleKey(const std::string& title, const std::string& phrase, int week);
// Text to upper-case hexadecimal of 2 (n + 12) characters; "" with an empty key.
std::string ScrambleText(const std::string& text, const std::string& key);
// The reverse; ScrambleFailed when either checksum fails, or with an empty key.
std::string UnscrambleText(const std::string& text, const std::string& key);
