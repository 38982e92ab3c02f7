// The server binary as a child process, for the load test and the tests that kill it: started
// with its log (standard output) going to a file, ready once the log says it listens.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

struct TServerProcess {
  pid_t pid = -1;
  int port = 0;

  // Starts binary with args (its log appended to logFile) and waits up to 20 s for its
  // "listening on ADDRESS:PORT," line; false when it never came.
  bool Start(const std::string& binary, const std::vector<std::string>& args, const std::string& logFile) {
    const size_t from = Size(logFile);
    // Made before the fork: a child of a threaded process may not allocate.
    std::vector<char*> argv{const_cast<char*>("score_server")};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
      const int log = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      dup2(log, 1);
      dup2(log, 2);
      execv(binary.c_str(), argv.data());
      _exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid > 0 && std::chrono::steady_clock::now() < until) {
      std::ifstream in(logFile, std::ios::binary);
      in.seekg(std::streamoff(from));
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const size_t at = text.find("listening on ");
      const size_t comma = text.find(',', at);
      if (at != std::string::npos && comma != std::string::npos) {
        port = std::atoi(text.c_str() + text.rfind(':', comma) + 1);
        return port > 0;
      }
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        pid = -1;  // reaped: its number may be another process's soon
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop(SIGKILL);
    return false;
  }
  // Sends the signal and waits for the process to end.
  void Stop(int signal) {
    if (pid <= 0) return;
    kill(pid, signal);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }

 private:
  static size_t Size(const std::string& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    return in ? size_t(in.tellg()) : 0;
  }
};
