// The text helpers the protocol's lines are read with, and every text file of the game too:
// trimming, the field splitter and the hex parser. A reader of a stored line must split it exactly
// as the game always has, quirks and all, or old files would read differently.
#pragma once
#include <cstdint>
#include <string>

// The text without the characters of code 32 and below at both ends.
std::string TrimText(const std::string& text);
// The n-th field (from 1) of text split at separator; "-+-" past the last separator. With
// spaceToo 1 a space ends a field too.
std::string Field(const std::string& text, const std::string& separator, int n, int spaceToo = 0);
// Hexadecimal with capital A..F; other characters count their decimal value.
int HexToInt(const std::string& text);
// A decimal number as the string-to-integer service reads it: blanks skipped, an optional sign,
// digits up to the first other character (none gives 0), held at the 64-bit ends.
int64_t DecimalValue(const std::string& text);
