// The moment a game ended as one 64-bit stamp: the local date and time packed with every month
// counting 31 days. Stamps order the score records and are part of the score file's format.
#pragma once
#include <cstdint>
#include <string>

// The stamp of now; a non-empty dateText ("06 Dec 2026") replaces today's date.
int64_t MakeTimestamp(const std::string& dateText = "");
// The stamp of a date ("06 DEC 2026", any case) and time ("21:05:09") text.
int64_t StampOf(const std::string& dateText, const std::string& timeText);
// "DD-MM-YYYY" and "HH:MM:SS" of a stamp.
std::string DateText(int64_t stamp);
std::string TimeText(int64_t stamp);
