// The online score service: log in (a new name registers), fetch the server's table of the
// current start world, mode and flags, and submit the local table's best when it would place,
// with its replay when it has one, so the server can prove it. Requests go through Thttp with
// query values scrambled with the score file's keys: GETs, and a POST for a submission with its
// replay. Each user action (a login; a refresh with its fetch and submission) blocks the frame
// for at most one deadline (HttpActionMillis) however many requests it makes. Only a 200 reply
// is a table, and only entries whose names keep the record-name rule are taken from it; a
// submission the server refuses with a reason shows that reason as a floating message.
#pragma once
#include <array>
#include <string>

#include "protocol/online_requests.h"
#include "protocol/score_line.h"
#include "rules/replay.h"
#include "scores/score_records.h"

extern std::array<std::string, 20> MotdLines;  // the server's message of the day, lines 1 ..
extern bool LoggedIn;            // a login succeeded this run (there is no logout)
extern bool LoginFailed;         // the last login was rejected
extern int RefreshState;         // 0 idle, 1 requested, 2 fetch next frame, 3 done (button up?)
extern int Submitted;            // submissions made by the current refresh
extern int MotdCount;            // message-of-the-day lines in MotdLines[1..]

// The record as a submission: its fields, SubmitMark, its 30 level values.
std::string SubmissionLine(const TScores& record);

// The entries of a fetched table: lines 2k - 1 and 2k hold entry k, at most 30, lines without
// "|" and entries with names a record may not have skipped; each entry's mode is made ~mode, as
// online records carry it.
TScoresList ParseOnlineTable(const std::string& body);

// One request each; the reply's body, "" without a connection. The credentials are cleaned
// first; login and submit answer "WRONG PASSWORD" without traffic when either is shorter or
// longer than the server takes (protocol/name_rules.h).
std::string OnlineLogin(const std::string& input);
std::string SubmitScore(const std::string& input);
// A submission with its replay's text (ReplayText), the protocol's POST.
std::string SubmitReplay(const std::string& input, const std::string& replayText);
std::string FetchTable(const std::string& tableName);

// The Login button: logs in, keeps the message of the day and asks for a refresh.
void Login();
// The login panel's error line for the current credentials.
std::string LoginError();
// Once per frame of the Online tab while logged in: fetch (and submit), draw the online table in
// the panel at panelX of width panelW, then move the refresh on.
void RefreshStep(int panelX, int panelW);
// The replay the server keeps of an entry of its tables; false with the reason when it has none
// or it came damaged.
bool FetchOnlineReplay(const TScores& entry, TReplay& replay, std::string& why);
// Start values (the main program's creation of the state; tests).
void ResetOnlineScores();
