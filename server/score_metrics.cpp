// The metrics' counting and their text.
#include "score_metrics.h"

#include <cstdio>

namespace {

// Seconds: from a table served from memory to a request at its deadline.
const double kBuckets[] = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};
const size_t kBucketCount = sizeof kBuckets / sizeof kBuckets[0];

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

void Header(std::string& out, const char* name, const char* type, const char* help) {
  out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

}  // namespace

void TMetrics::THistogram::Add(double seconds) {
  if (counts.empty()) counts.assign(kBucketCount, 0);
  size_t i = 0;
  while (i < kBucketCount && seconds > kBuckets[i]) ++i;
  if (i < kBucketCount) ++counts[i];
  ++count;
  sum += seconds;
}

void TMetrics::THistogram::Write(std::string& out, const std::string& name, const std::string& labels) const {
  const std::string sep = labels.empty() ? "" : ",";
  uint64_t below = 0;
  for (size_t i = 0; i < kBucketCount; ++i) {
    below += counts.empty() ? 0 : counts[i];
    out += name + "_bucket{" + labels + sep + "le=\"" + Number(kBuckets[i]) + "\"} " + std::to_string(below) + "\n";
  }
  out += name + "_bucket{" + labels + sep + "le=\"+Inf\"} " + std::to_string(count) + "\n";
  const std::string braces = labels.empty() ? "" : "{" + labels + "}";
  out += name + "_sum" + braces + " " + Number(sum) + "\n";
  out += name + "_count" + braces + " " + std::to_string(count) + "\n";
}

void TMetrics::Answered(TRoute route, int status, double seconds) {
  std::lock_guard<std::mutex> hold(mutex_);
  ++requests_[{RouteName(route), status}];
  latency_[RouteName(route)].Add(seconds);
}

void TMetrics::PasswordWait(double seconds) {
  std::lock_guard<std::mutex> hold(mutex_);
  password_wait_.Add(seconds);
}

void TMetrics::Dropped() {
  std::lock_guard<std::mutex> hold(mutex_);
  ++dropped_;
}

std::string TMetrics::Text(const TGauges& g) {
  std::lock_guard<std::mutex> hold(mutex_);
  std::string out;
  Header(out, "lambrisk_requests_total", "counter", "Requests answered, by route and status (429: rate-limited, 503: busy or database failing).");
  for (const auto& [key, count] : requests_)
    out += "lambrisk_requests_total{route=\"" + key.first + "\",status=\"" + std::to_string(key.second) + "\"} " +
           std::to_string(count) + "\n";
  Header(out, "lambrisk_request_duration_seconds", "histogram", "Seconds from a connection's start to its reply, by route.");
  for (const auto& [route, histogram] : latency_)
    histogram.Write(out, "lambrisk_request_duration_seconds", "route=\"" + route + "\"");
  Header(out, "lambrisk_password_queue_wait_seconds", "histogram", "Seconds a request waited for a worker that runs password hashes.");
  password_wait_.Write(out, "lambrisk_password_queue_wait_seconds", "");
  Header(out, "lambrisk_password_queue_depth", "gauge", "Requests waiting now for a worker that runs password hashes.");
  out += "lambrisk_password_queue_depth " + std::to_string(g.password_queue) + "\n";
  Header(out, "lambrisk_password_hashes_peak", "gauge", "The most password hashes that ran at once.");
  out += "lambrisk_password_hashes_peak " + std::to_string(g.peak_hashes) + "\n";
  Header(out, "lambrisk_database_errors_total", "counter", "Database calls that failed.");
  out += "lambrisk_database_errors_total " + std::to_string(g.database_errors) + "\n";
  Header(out, "lambrisk_connections_open", "gauge", "Connections open now, in any state.");
  out += "lambrisk_connections_open " + std::to_string(g.connections_open) + "\n";
  Header(out, "lambrisk_connections_dropped_total", "counter", "Connections closed unanswered at the connection limit.");
  out += "lambrisk_connections_dropped_total " + std::to_string(dropped_) + "\n";
  return out;
}
