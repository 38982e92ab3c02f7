// Network lists and the client address behind a proxy.
#include "address_list.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>

namespace {

bool ParseAddress(const std::string& text, TNetwork& n) {
  if (inet_pton(AF_INET, text.c_str(), n.bytes) == 1) {
    n.family = AF_INET;
    return true;
  }
  if (inet_pton(AF_INET6, text.c_str(), n.bytes) == 1) {
    n.family = AF_INET6;
    return true;
  }
  return false;
}

bool Contains(const TNetwork& network, const TNetwork& address) {
  if (network.family != address.family) return false;
  for (int bit = 0; bit < network.bits; ++bit) {
    const uint8_t mask = uint8_t(0x80 >> (bit % 8));
    if ((network.bytes[bit / 8] & mask) != (address.bytes[bit / 8] & mask)) return false;
  }
  return true;
}

std::string Trim(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

}  // namespace

bool ParseNetworks(const std::string& text, TNetworks& networks, std::string& error) {
  networks.clear();
  size_t start = 0;
  while ((start = text.find_first_not_of(", \t", start)) != std::string::npos) {
    const size_t end = std::min(text.find_first_of(", \t", start), text.size());
    const std::string item = text.substr(start, end - start);
    start = end;
    const size_t slash = item.find('/');
    TNetwork n;
    if (!ParseAddress(item.substr(0, slash), n)) {
      error = "\"" + item + "\" is not an address or network";
      return false;
    }
    const int most = n.family == AF_INET ? 32 : 128;
    n.bits = most;
    if (slash != std::string::npos) {
      const std::string bits = item.substr(slash + 1);
      char* after = nullptr;
      const long value = std::strtol(bits.c_str(), &after, 10);
      if (bits.empty() || *after || value < 0 || value > most) {
        error = "\"" + item + "\" has no prefix length from 0 to " + std::to_string(most);
        return false;
      }
      n.bits = int(value);
    }
    networks.push_back(n);
  }
  return true;
}

bool InNetworks(const std::string& address, const TNetworks& networks) {
  TNetwork a;
  if (!ParseAddress(address, a)) return false;
  for (const TNetwork& n : networks)
    if (Contains(n, a)) return true;
  return false;
}

std::string ClientAddress(const std::string& peer, const std::string& forwardedFor, const TNetworks& proxies) {
  if (forwardedFor.empty() || !InNetworks(peer, proxies)) return peer;
  std::string client = peer;
  for (size_t end = forwardedFor.size(); end > 0;) {
    const size_t comma = forwardedFor.rfind(',', end - 1);
    const size_t start = comma == std::string::npos ? 0 : comma + 1;
    const std::string hop = Trim(forwardedFor.substr(start, end - start));
    TNetwork parsed;
    // A hop that is no address at all ends the trail: what is left of it is anyone's say.
    if (!ParseAddress(hop, parsed)) break;
    client = hop;
    if (!InNetworks(hop, proxies)) break;
    if (comma == std::string::npos) break;
    end = comma;
  }
  return client;
}
