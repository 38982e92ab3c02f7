// The online score service: requests, replies and the refresh that keeps OnlineScores in step
// with the server's table.
#include "scores/online_scores.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "audio/sound_effects.h"
#include "base/program_state.h"
#include "framework/setup_file.h"
#include "platform/input.h"
#include "protocol/name_rules.h"
#include "scores/http_client.h"
#include "scores/replay_files.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "scores/scramble.h"
#include "ui/messages.h"
#include "ui/text_fields.h"

std::array<std::string, 20> MotdLines{};
bool LoggedIn = false;
bool LoginFailed = false;
int RefreshState = 0;
int Submitted = 0;
int MotdCount = 0;

namespace {

void CleanCredentials() {
  UserName = CleanLoginText(UserName);
  Password = CleanLoginText(Password);
}

// Credentials the server would refuse for their length go nowhere: a name kept from before the
// limits could be longer than the login boxes now take.
bool CredentialsOutOfBounds() {
  return UserName.size() < kLoginShortest || Password.size() < kLoginShortest ||
         UserName.size() > kUserNameLongest || Password.size() > kPasswordLongest;
}

// The status of a whole reply ("HTTP/1.1 200 OK ..."), 0 when it has none.
int ReplyStatus(const std::string& reply) {
  if (reply.compare(0, 5, "HTTP/") != 0) return 0;
  const size_t space = reply.find(' ');
  return space == std::string::npos ? 0 : std::atoi(reply.c_str() + space + 1);
}

// One request: the reply's body, and its status in status; a POST of the replay's text when
// replay is given. A TLS connection refused (a certificate that is not the server's) is said on
// screen: the player can do something about it, unlike a server that is down.
std::string Request(const std::string& path, int* status = nullptr, const std::string* replay = nullptr) {
  Thttp http;
  std::string reply;
  if (http.Open(ScoreServer, 0)) reply = replay ? http.Post(path, {ReplayField}, {*replay}) : http.Get(path);
  http.Close();
  if (!http.failure.empty()) PostMessage("Score server refused: " + http.failure);
  if (status) *status = ReplyStatus(reply);
  return ReplyBody(reply);
}

// A submission the server refused (a replay it could not prove, one it requires, too many
// attempts) is said on screen, as the server words it.
std::string ShowRefusal(int status, const std::string& body) {
  if (status != 0 && status != 200 && !body.empty()) PostMessage("Score not taken: " + body);
  return body;
}

void SubmitTableBest() {
  const std::string input = SubmitInput(UserName, Password, SubmissionLine(*TableBest), ScrambleKey);
  // The record's replay goes with it, as its proof; a damaged one is as none.
  TReplay replay;
  std::string why;
  if (HasReplay(*TableBest) && LoadReplay(*TableBest, replay, why)) SubmitReplay(input, ReplayText(replay));
  else SubmitScore(input);
  ++Submitted;
}

// Drops the records of the table in view, which the fetch is about to bring back.
void ForgetCurrentTable() {
  const int mode = ~GameMode;
  OnlineScores.erase(std::remove_if(OnlineScores.begin(), OnlineScores.end(),
                                    [mode](const TScoresPtr& r) {
                                      return r->GameMode == mode && r->Level == StartWorld &&
                                             r->GameFlags == GameFlags;
                                    }),
                     OnlineScores.end());
}

void Fetch() {
  PlaySfx(99, 0.5f, 1.0f, 0.0f);
  // The fetch and the submission it may lead to are one wait for the player.
  THttpAction action;
  int status = 0;
  CleanCredentials();
  const std::string reply =
      Request(TableRequest(WeekNumber, std::to_string(TableNumber(GameMode, StartWorld, GameFlags))), &status);
  if (NoTableReply(reply)) {
    if (TableBest) SubmitTableBest();
  } else if (status == 200) {  // a busy or failing server's page, or no reply at all, is no table
    const TScoresList entries = ParseOnlineTable(reply);
    for (const TScoresPtr& entry : entries) {
      OnlineScores.push_back(entry);
      if (Submitted == 0 && TableBest && TableBest->Score >= entry->Score) SubmitTableBest();
    }
    const int count = int(entries.size());
    if (Submitted == 0 && count < kTableEntries && TableBest) SubmitTableBest();
  }
  SortScores(LocalScores);
  SortScores(OnlineScores);
  PlaySfx(99, 1.0f, 1.0f, 0.0f);
  RefreshState = 3;
}

}  // namespace


std::string SubmissionLine(const TScores& r) { return RecordLine(RecordFieldsOf(r), SubmitMark); }

TScoresList ParseOnlineTable(const std::string& body) {
  TScoresList entries;
  for (const TRecordFields& fields : ReadTableText(body)) {
    // A name the game could not have entered (a server's 100 kB one) is no entry of ours.
    if (!ValidName(TNameKind::RecordName, fields.Name)) continue;
    TScoresPtr entry = ScoresFrom(fields);
    entry->GameMode = ~entry->GameMode;
    entries.push_back(entry);
  }
  return entries;
}

std::string OnlineLogin(const std::string& input) {
  CleanCredentials();
  if (CredentialsOutOfBounds()) return "WRONG PASSWORD";
  return Request(LoginRequest(WeekNumber, input));
}

std::string SubmitScore(const std::string& input) {
  CleanCredentials();
  if (CredentialsOutOfBounds()) return "WRONG PASSWORD";
  int status = 0;
  return ShowRefusal(status, Request(SubmitRequest(WeekNumber, input), &status));
}

std::string SubmitReplay(const std::string& input, const std::string& replayText) {
  CleanCredentials();
  if (CredentialsOutOfBounds()) return "WRONG PASSWORD";
  int status = 0;
  return ShowRefusal(status, Request(ReplaySubmitRequest(WeekNumber, input), &status, &replayText));
}

std::string FetchTable(const std::string& tableName) {
  CleanCredentials();
  return Request(TableRequest(WeekNumber, tableName));
}

void Login() {
  THttpAction action;
  CleanCredentials();
  const std::string reply = OnlineLogin(LoginInput(UserName, Password, ScrambleKey));
  if (!LoginAccepted(reply)) {
    LoginFailed = true;
    RefreshState = 0;
    return;
  }
  MotdCount = 0;
  const std::string motd = Field(reply, "|", 2);
  for (int k = 1; MotdCount < int(MotdLines.size()) - 1; ++k) {
    const std::string line = Field(motd, "\n", k);
    if (line.empty() || line == "-+-") break;
    MotdLines[size_t(++MotdCount)] = TrimText(line);
  }
  LoginFailed = false;
  LoggedIn = true;
  RefreshState = 1;
}

std::string LoginError() {
  if (UserName.size() < kLoginShortest) return "USERNAME TOO SHORT";
  if (Password.size() < kLoginShortest) return "PASSWORD TOO SHORT";
  if (UserName.size() > kUserNameLongest) return "USERNAME TOO LONG";
  if (Password.size() > kPasswordLongest) return "PASSWORD TOO LONG";
  return "WRONG PASSWORD";
}

void RefreshStep(int panelX, int panelW) {
  if (RefreshState == 2) Fetch();
  DrawScoreTable(panelX, panelW, ~GameMode, StartWorld, GameFlags, 1);
  if (RefreshState == 1) {
    ForgetCurrentTable();
    RefreshState = 2;
  }
  if (RefreshState == 3 && !MouseDown(1)) {
    RefreshState = 0;
    Submitted = 0;
  }
}

void ResetOnlineScores() {
  ScoreServer = DefaultScoreServer;
  LoggedIn = false;
  LoginFailed = false;
  RefreshState = 0;
  Submitted = 0;
  MotdCount = 0;
}

bool FetchOnlineReplay(const TScores& entry, TReplay& replay, std::string& why) {
  // Online records carry their mode inverted.
  const int64_t table = TableNumber(~entry.GameMode, entry.Level, entry.GameFlags);
  THttpAction action;
  int status = 0;
  const std::string body =
      Request(ReplayRequest(WeekNumber, table, ReplayKey(entry.Timestamp, entry.Score, entry.Name)), &status);
  if (status != 200) return why = "the server holds no replay of it", false;
  return ParseReplay(body, replay, why);
}
