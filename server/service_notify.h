// Telling systemd how the service is (Type=notify): ready, reloading, stopping, and alive for its
// watchdog, as datagrams to the socket NOTIFY_SOCKET names. Without that variable (not run by
// systemd) nothing is sent. The protocol is a few lines of text, spoken here directly: the server
// links no more than its database and hashing libraries.
#pragma once
#include <cstdint>
#include <string>

// Sends the state lines ("READY=1", "WATCHDOG=1", ...); false when there is no one to tell.
bool NotifyService(const std::string& state);
// The watchdog's interval from WATCHDOG_USEC when it is meant for this process; 0 without one.
uint64_t WatchdogMicros();
