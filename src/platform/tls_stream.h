// TLS over a connected socket, for the online services when the server setting asks for it: the
// handshake, the server's certificate checked against the system's certificate store and its
// name, then a byte stream like the socket's own. Every wait goes through the socket, so its
// limits and deadline bound the handshake too. Built on GnuTLS.
#pragma once
#include <string>

#include "platform/socket.h"
#include "platform/stream.h"

// A stream of TLS over sock with the server hostName (sent as the server name, and the name its
// certificate must be valid for); null when the handshake fails, with why in failure: for a
// certificate refused, "certificate " and the reason ("not valid for NAME", "not trusted",
// "expired"); else what broke the handshake. Closing the stream closes the socket.
TStreamPtr CreateTlsStream(const TSocketPtr& sock, const std::string& hostName, std::string& failure);
// Tests: trust only the authorities in this PEM file instead of the system's store ("" again for
// the store).
void SetTlsTrustFileForTest(const std::string& file);
