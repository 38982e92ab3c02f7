// The score server's counters in Prometheus' text format, for GET /metrics: requests by route and
// status, their latency, the password queue's waits, connections dropped at the limit; the
// gauges (connections open, the queue's depth, database errors) come from their owners at each
// scrape.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "score_requests.h"

struct TGauges {
  int connections_open = 0;
  size_t password_queue = 0;  // requests waiting for a worker that runs hashes
  int peak_hashes = 0;
  uint64_t database_errors = 0;
};

class TMetrics {
 public:
  // A request answered (or refused) after seconds from its connection's start.
  void Answered(TRoute route, int status, double seconds);
  // A request's wait in the password queue.
  void PasswordWait(double seconds);
  void Dropped();
  std::string Text(const TGauges& gauges);

 private:
  struct THistogram {
    std::vector<uint64_t> counts;  // per bucket, not cumulative
    uint64_t count = 0;
    double sum = 0;
    void Add(double seconds);
    void Write(std::string& out, const std::string& name, const std::string& labels) const;
  };
  std::mutex mutex_;
  std::map<std::pair<std::string, int>, uint64_t> requests_;
  std::map<std::string, THistogram> latency_;
  THistogram password_wait_;
  uint64_t dropped_ = 0;
};
