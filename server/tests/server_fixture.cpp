#include "server_fixture.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

#include "platform/socket.h"
#include "scores/scramble.h"
#include "support/loopback_server.h"

namespace {

// The tests send what the game sends, scrambled with the key the game builds at start-up.
class TGameScrambleKey : public ::testing::Environment {
  void SetUp() override { BuildScrambleKey(); }
};
const ::testing::Environment* const kGameScrambleKey = ::testing::AddGlobalTestEnvironment(new TGameScrambleKey);

bool Exec(const std::string& url, const std::string& sql, std::string& error) {
  PGconn* c = PQconnectdb(url.c_str());
  PGresult* r = PQstatus(c) == CONNECTION_OK ? PQexec(c, sql.c_str()) : nullptr;
  const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) error = PQerrorMessage(c);
  PQclear(r);
  PQfinish(c);
  return ok;
}

}  // namespace

TTestDatabase::TTestDatabase(const std::string& engine, const std::string& folder) {
  if (engine == "sqlite") {
    setting_ = folder + "/scores.db";
    return;
  }
  std::ifstream record(SERVER_TEST_POSTGRES_RECORD "/url");
  if (!std::getline(record, cluster_)) {
    ADD_FAILURE() << "no PostgreSQL test cluster: run the tests through ctest, whose fixture server.postgres "
                     "starts it (server/pg_cluster.sh)";
    return;
  }
  static std::atomic<int> made{0};
  name_ = "test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
  std::string error;
  if (!Exec(cluster_, "CREATE DATABASE " + name_, error)) {
    ADD_FAILURE() << "cannot make a test database: " << error;
    name_.clear();
    return;
  }
  setting_ = cluster_;
  setting_.replace(setting_.find("/postgres?"), 10, "/" + name_ + "?");
}

TTestDatabase::~TTestDatabase() { Drop(); }

void TTestDatabase::Drop() {
  std::string error;
  if (!name_.empty() && !Exec(cluster_, "DROP DATABASE " + name_ + " WITH (FORCE)", error))
    ADD_FAILURE() << "cannot drop " << name_ << ": " << error;
  name_.clear();
}

TServerOptions LoopbackOptions(const std::string& database) {
  TServerOptions options;
  options.bind = "127.0.0.1";
  options.port = 0;
  options.database = database;
  options.log_level = "error";
  options.levels = SERVER_TEST_LEVELS;
  return options;
}

std::string Raw(int port, const std::string& bytes) {
  TSocketPtr sock = TSocket::CreateTCP();
  sock->SetTimeouts(2000, 10000);
  if (!sock->Connect(kLoopback, port)) return "(refused)";
  sock->Send(bytes.data(), int(bytes.size()));
  std::string reply;
  char buf[4096];
  for (int n; (n = sock->Recv(buf, sizeof buf)) > 0;) reply.append(buf, size_t(n));
  return reply;
}

std::string GetStatus(int port, const std::string& path) {
  const std::string reply = Raw(port, "GET /" + path + " HTTP/1.0\nHost: h\n\n\r\n");
  return reply.substr(0, reply.find('\r'));
}

std::string RunWithInput(const std::string& command, const std::string& input, int& code) {
  char name[] = "/tmp/server_test_inputXXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0 || write(fd, input.data(), input.size()) != ssize_t(input.size())) return "";
  close(fd);
  FILE* pipe = popen((command + " <" + name).c_str(), "r");
  std::string out;
  char buf[4096];
  for (size_t n; pipe && (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  const int status = pipe ? pclose(pipe) : -1;
  code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  unlink(name);
  return out;
}
