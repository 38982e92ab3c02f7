// score_server: the online score server for the game's Online tab.
//   score_server [--config FILE] [--KEY VALUE]...
// Every setting of the configuration file is also a flag (--port 8080, --db scores.db, --motd
// TEXT, ...); the flags win. Runs until interrupted or terminated; a hang-up reads the file again.
// Under systemd it says when it is ready, reloading and stopping, and keeps its watchdog fed while
// its connection loop turns.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "score_server.h"
#include "service_notify.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: score_server [--config FILE] [--KEY VALUE]...\n"
               "  KEY: bind port database (or db) levels motd threads reuse_port log_level request_seconds\n"
               "       max_connections database_seconds hash_concurrency login_burst logins_per_minute\n"
               "       registration_burst registrations_per_hour ipv6_prefix keep_per_player\n"
               "       trusted_proxies metrics_allow replays replay_seconds\n");
  return 2;
}

// The settings: defaults, then the file, then the flags. False with the reason in error.
bool Load(const std::string& config, const std::vector<std::pair<std::string, std::string>>& flags,
          TServerOptions& options, std::string& error) {
  options = TServerOptions();
  if (!config.empty() && !ReadConfig(config, options, error)) return false;
  for (const auto& [key, value] : flags)
    if (!SetOption(options, key, value, error)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string config;
  std::vector<std::pair<std::string, std::string>> flags;
  for (int i = 1; i < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag.compare(0, 2, "--") != 0 || i + 1 >= argc) return Usage();
    if (flag == "--config") config = argv[i + 1];
    else flags.emplace_back(flag.substr(2), argv[i + 1]);
  }
  TServerOptions options;
  std::string error;
  if (!Load(config, flags, options, error)) {
    std::fprintf(stderr, "score_server: %s\n", error.c_str());
    return 2;
  }
  // A closed standard output (the log) must not kill the server.
  std::signal(SIGPIPE, SIG_IGN);
  // The signals are taken by sigwait below, on this thread, once the server runs; every thread
  // started after this inherits the mask.
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  TScoreServer server;
  if (!server.Start(options)) {
    std::fprintf(stderr, "score_server: %s\n", server.Error().c_str());
    return 1;
  }
  const std::string listening = "listening on " + options.bind + ":" + std::to_string(server.Port());
  server.Log("info", listening + ", database " + ShownDatabase(options.database) + ", levels " + server.LevelsFile() +
                         ", " + std::to_string(options.threads) + " threads, replays " +
                         (options.service.replays_required ? "required" : "optional"));
  NotifyService("READY=1\nSTATUS=" + listening);
  // The watchdog is fed at half its interval, and only while the connection loop turns (it turns
  // at least once a second): a loop that hangs lets systemd restart the service.
  const uint64_t watchdog = WatchdogMicros();
  std::mutex watchdog_mutex;
  std::condition_variable watchdog_stop;
  bool stopping = false;
  std::thread feeder;
  if (watchdog > 0)
    feeder = std::thread([&] {
      const auto every = std::chrono::microseconds(watchdog / 2);
      const int within = int(std::max<uint64_t>(watchdog / 1000, 1500));
      std::unique_lock<std::mutex> hold(watchdog_mutex);
      while (!watchdog_stop.wait_for(hold, every, [&] { return stopping; }))
        if (server.Alive(within)) NotifyService("WATCHDOG=1");
    });
  for (;;) {
    int signal = 0;
    sigwait(&signals, &signal);
    if (signal != SIGHUP) break;
    NotifyService("RELOADING=1");
    TServerOptions next;
    if (!Load(config, flags, next, error)) {
      server.Log("error", "- configuration not reloaded, the running one stays: " + error);
    } else {
      server.Reconfigure(next);
      server.Log("info", "configuration reloaded" +
                             (config.empty() ? std::string(" (no file; flags only)") : " from " + config));
    }
    NotifyService("READY=1");
  }
  NotifyService("STOPPING=1");
  {
    std::lock_guard<std::mutex> hold(watchdog_mutex);
    stopping = true;
  }
  watchdog_stop.notify_all();
  if (feeder.joinable()) feeder.join();
  server.Stop();
  server.Log("info", "stopped");
  return 0;
}
