// The text helpers of the file readers: trimming, upper-casing, the field splitter and the hex
// parser. Text files compare their keys trimmed and upper-cased.
#pragma once
#include <string>

// The text without the characters of code 32 and below at both ends.
std::string TrimText(const std::string& text);
// The text with its letters upper-cased, as keys of text files are compared.
std::string UpperText(std::string text);
// The n-th field (from 1) of text split at separator; "-+-" past the last separator. With
// spaceToo 1 a space ends a field too.
std::string Field(const std::string& text, const std::string& separator, int n, int spaceToo = 0);
// Hexadecimal with capital A..F; other characters count their decimal value.
int HexToInt(const std::string& text);
