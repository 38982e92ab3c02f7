// score_admin: the score server operator's command-line client.
//   score_admin login HOST[:PORT] NAME PASSWORD   log in (a new name registers) as the game does
//   score_admin table HOST[:PORT] NUMBER          print a table (world * 100 + mode) as served
//   score_admin players DATABASE                  list the registered players
#include <cstdio>
#include <string>

#include "framework/setup_file.h"
#include "score_db.h"
#include "scores/online_scores.h"
#include "scores/score_file.h"
#include "scores/scramble.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: score_admin login HOST[:PORT] NAME PASSWORD\n"
               "       score_admin table HOST[:PORT] NUMBER\n"
               "       score_admin players DATABASE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  BuildScrambleKey();
  if (command == "login" && argc == 5) {
    ScoreServer = argv[2];
    UserName = argv[3];
    Password = argv[4];
    const std::string reply = OnlineLogin(Scramble(UserName + "|" + CredentialWrapper(), ""));
    std::printf("%s\n", reply.empty() ? "(no reply)" : reply.c_str());
    return reply.rfind("Password Correct", 0) == 0 || reply.rfind("Welcome!", 0) == 0 ? 0 : 1;
  }
  if (command == "table" && argc == 4) {
    ScoreServer = argv[2];
    const std::string reply = FetchTable(argv[3]);
    std::printf("%s\n", reply.c_str());
    return reply.empty() ? 1 : 0;
  }
  if (command == "players" && argc == 3) {
    TScoreDb db;
    if (!db.Open(argv[2])) {
      std::fprintf(stderr, "score_admin: %s\n", db.Error().c_str());
      return 1;
    }
    for (const std::string& name : db.Players()) std::printf("%s\n", name.c_str());
    return 0;
  }
  return Usage();
}
