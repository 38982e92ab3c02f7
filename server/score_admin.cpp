// score_admin: the score server operator's command-line tool. DATABASE is a SQLite file or a
// postgresql:// URL, as the server's database setting. Passwords are read from standard input
// (without echo on a terminal), never from the command line, where ps and the shell's history
// would show them.
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "protocol/game_identity.h"
#include "protocol/name_rules.h"
#include "protocol/online_requests.h"
#include "score_client.h"
#include "score_requests.h"
#include "score_store.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: score_admin login HOST[:PORT] NAME          log in (a new name registers) as the game does\n"
               "       score_admin table HOST[:PORT] NUMBER        print a table as served (mode + world * 100 + flags * 1000)\n"
               "       score_admin players DATABASE                list the players\n"
               "       score_admin list DATABASE [TABLE]           the records: id, table, player, score, name, stamp\n"
               "       score_admin delete-record DATABASE ID\n"
               "       score_admin delete-player DATABASE NAME     the player and every record they sent\n"
               "       score_admin reset-password DATABASE NAME\n"
               "       score_admin backup DATABASE FILE            SQLite: a whole copy, also while the server runs\n"
               "       score_admin restore FILE DATABASE           SQLite: a backup copied back (server stopped)\n"
               "Passwords are read from standard input.\n");
  return 2;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "score_admin: %s\n", what.c_str());
  return 1;
}

// One line of standard input, without its line end; on a terminal it asks and does not echo.
std::string ReadPassword(const char* prompt) {
  termios saved{};
  const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal) {
    std::fprintf(stderr, "%s", prompt);
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string line;
  std::getline(std::cin, line);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fprintf(stderr, "\n");
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

// Run as root on a SQLite file that belongs to the server's user (systemd's dynamic one), the
// side files SQLite made meanwhile would be root's and keep the server out: they go to the
// file's owner.
void GiveSideFilesToOwner(const std::string& database) {
  struct stat owner;
  if (IsPostgresUrl(database) || geteuid() != 0 || stat(database.c_str(), &owner) != 0 || owner.st_uid == 0) return;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    const std::string side = database + suffix;
    struct stat file;
    if (stat(side.c_str(), &file) == 0 && file.st_uid != owner.st_uid &&
        chown(side.c_str(), owner.st_uid, owner.st_gid) != 0)
      std::fprintf(stderr, "score_admin: cannot give %s to its database's owner\n", side.c_str());
  }
}

int Database(const std::string& command, char** args, int count) {
  const std::string database = args[0];
  if (command == "backup" && count == 2) {
    std::string error;
    return BackupSqlite(database, args[1], error) ? 0 : Fail(error);
  }
  if (command == "restore" && count == 2) {
    std::string error;
    const bool ok = RestoreSqlite(args[0], args[1], error);
    GiveSideFilesToOwner(args[1]);
    return ok ? 0 : Fail(error);
  }
  std::string error;
  std::unique_ptr<TScoreStore> store = OpenScoreStore(database, error);
  if (!store) return Fail(error);
  int result = 0;
  if (command == "players" && count == 1) {
    std::vector<std::string> names;
    if (!store->Players(names)) return Fail(store->Error());
    for (const std::string& name : names) std::printf("%s\n", name.c_str());
  } else if (command == "list" && (count == 1 || count == 2)) {
    std::vector<TStoredRecord> rows;
    if (!store->Records(count == 2 ? std::atoll(args[1]) : -1, rows)) return Fail(store->Error());
    for (const TStoredRecord& r : rows)
      std::printf("%lld\t%lld\t%s\t%lld\t%s\t%lld\n", static_cast<long long>(r.id), static_cast<long long>(r.table),
                  r.player.c_str(), static_cast<long long>(r.record.Score), r.record.Name.c_str(),
                  static_cast<long long>(r.record.Timestamp));
  } else if (command == "delete-record" && count == 2) {
    if (!store->DeleteRecord(std::atoll(args[1]))) result = Fail(std::string("no record ") + args[1]);
  } else if (command == "delete-player" && count == 2) {
    if (!store->DeletePlayer(args[1])) result = Fail(std::string("no player ") + args[1]);
  } else if (command == "reset-password" && count == 2) {
    const std::string password = ReadPassword("New password: ");
    std::string hash;
    if (!ValidName(TNameKind::Password, password))
      result = Fail("the password must be " + std::to_string(kLoginShortest) + " to " + std::to_string(kPasswordLongest) +
                    " printable characters the game allows");
    else if (!StartPasswordHashing() || (hash = HashPassword(password)).empty())
      result = Fail("cannot hash the password");
    else if (!store->SetPasswordHash(args[1], hash)) result = Fail(std::string("no player ") + args[1]);
  } else {
    return Usage();
  }
  store.reset();
  GiveSideFilesToOwner(database);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "login" && argc == 4) {
    // Cleaned as the game cleans its login boxes before it sends them.
    const std::string user = CleanLoginText(argv[3]);
    const std::string password = CleanLoginText(ReadPassword("Password: "));
    const std::string reply =
        ScoreRequest(argv[2], LoginRequest(WeekNumber, LoginInput(user, password, GameScrambleKey())));
    std::printf("%s\n", reply.empty() ? "(no reply)" : reply.c_str());
    return LoginAccepted(reply) ? 0 : 1;
  }
  if (command == "table" && argc == 4) {
    const std::string reply = ScoreRequest(argv[2], TableRequest(WeekNumber, argv[3]));
    std::printf("%s\n", reply.c_str());
    return reply.empty() ? 1 : 0;
  }
  return Database(command, argv + 2, argc - 2);
}
