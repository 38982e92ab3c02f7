// score_server: the online score server for the game's Online tab.
//   score_server [--port N] [--db FILE] [--motd TEXT] [--bind ADDRESS] [--threads N]
// Port 80 and "scores.db" by default; "\n" in the message of the day starts a new line. Runs
// until interrupted or terminated.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "score_server.h"

int main(int argc, char** argv) {
  TServerOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i], value = argv[i + 1];
    if (flag == "--port") options.port = std::atoi(value.c_str());
    else if (flag == "--db") options.database = value;
    else if (flag == "--motd") options.motd = value;
    else if (flag == "--bind") options.bind = value;
    else if (flag == "--threads") options.threads = std::max(1, std::atoi(value.c_str()));
    else {
      std::fprintf(stderr, "unknown option %s\n", flag.c_str());
      return 2;
    }
  }
  if (argc % 2 == 0) {
    std::fprintf(stderr, "usage: score_server [--port N] [--db FILE] [--motd TEXT] [--bind ADDRESS] [--threads N]\n");
    return 2;
  }
  // The signals are taken by sigwait below, on this thread, once the server runs.
  sigset_t stopping;
  sigemptyset(&stopping);
  sigaddset(&stopping, SIGINT);
  sigaddset(&stopping, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopping, nullptr);

  TScoreServer server;
  if (!server.Start(options)) {
    std::fprintf(stderr, "score_server: %s\n", server.Error().c_str());
    return 1;
  }
  std::printf("Score server listening on %s:%d, database %s\n", options.bind.c_str(), server.Port(),
              options.database.c_str());
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopping, &signal);
  server.Stop();
  std::printf("Score server stopped\n");
  return 0;
}
