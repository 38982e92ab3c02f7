// Lists of networks an operator names in the settings ("127.0.0.1, 10.0.0.0/8, ::1, fd00::/8"):
// the proxies whose X-Forwarded-For is believed, and who may read the metrics.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TNetwork {
  int family = 0;  // AF_INET or AF_INET6
  uint8_t bytes[16] = {};
  int bits = 0;
};
using TNetworks = std::vector<TNetwork>;

// Addresses and address/bits separated by commas or blanks; false with the reason in error.
bool ParseNetworks(const std::string& text, TNetworks& networks, std::string& error);
// Whether a numeric address (as the server writes a peer's) lies in one of the networks.
bool InNetworks(const std::string& address, const TNetworks& networks);
// The client behind the peer: the peer itself unless it is one of the proxies; then the
// rightmost address of X-Forwarded-For that is not a proxy (each proxy appends the address it
// was reached from, so the ones left of the first stranger are the client's own say).
std::string ClientAddress(const std::string& peer, const std::string& forwardedFor, const TNetworks& proxies);
