// What the score server tests share: a fresh database of either engine (a SQLite file, or a new
// database in the PostgreSQL cluster that the CTest fixture started), raw HTTP on loopback, and
// the real binaries.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "score_config.h"

// The engines every backend test runs on, by their parameter names.
#define SERVER_ENGINES ::testing::Values(std::string("sqlite"), std::string("postgresql"))
#define SERVER_ENGINE_NAME [](const ::testing::TestParamInfo<std::string>& info) { return info.param; }

// A fresh, empty database for one test, dropped at the end. Setting() is the server's database
// setting for it, "" when it could not be made (the test has failed then, saying why).
class TTestDatabase {
 public:
  TTestDatabase(const std::string& engine, const std::string& folder);
  ~TTestDatabase();
  TTestDatabase(const TTestDatabase&) = delete;
  TTestDatabase& operator=(const TTestDatabase&) = delete;
  const std::string& Setting() const { return setting_; }
  // Drops a PostgreSQL database now, under the servers still using it.
  void Drop();

 private:
  std::string setting_;
  std::string cluster_;  // the cluster's URL, for a PostgreSQL one
  std::string name_;
};

// Server options for loopback tests: any free port on 127.0.0.1, errors-only logging, the
// built-in levels of the source tree.
TServerOptions LoopbackOptions(const std::string& database);
// Sends bytes as they are and returns everything the server answered before it closed.
std::string Raw(int port, const std::string& bytes);
// The status line of a GET of path sent as the game sends it.
std::string GetStatus(int port, const std::string& path);
// Runs a program with text on its standard input; its standard output, and its exit code in code.
std::string RunWithInput(const std::string& command, const std::string& input, int& code);
