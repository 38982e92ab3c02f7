// The text helpers of the file readers: trimming, upper-casing, the field splitter and the hex
// parser. Text files compare their keys trimmed and upper-cased. The splitter and its kin are the
// protocol's, which reads the score lines with them.
#pragma once
#include <string>

#include "protocol/text_fields.h"

// The text with its letters upper-cased, as keys of text files are compared.
std::string UpperText(std::string text);
