// TCP sockets and host-name lookup for the online services, and a byte stream over a socket so
// requests and replies are written and read with the ordinary stream operations. Addresses are
// IPv4 in host byte order (127.0.0.1 is 0x7F000001); 0 means no address.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/stream.h"

// First IPv4 address of a host name or dotted address; 0 when it can't be resolved. Names with
// characters no host name has are refused without asking the resolver. Blocks for as long as the
// resolver takes.
uint32_t HostIp(const std::string& name);
// The same, giving up after millis: the resolver can't be interrupted, so the lookup runs on a
// small thread of its own, which a caller that stops waiting leaves to finish and free itself.
// Dotted addresses need no lookup. While a few abandoned lookups still run, a new one gives 0 at
// once rather than pile up threads behind a resolver that hangs.
uint32_t HostIpWithin(const std::string& name, int millis);
// Test hooks: the blocking lookup HostIpWithin runs (null: HostIp), and lookups still running.
void SetHostLookupForTest(uint32_t (*lookup)(const std::string& name));
int PendingHostLookups();

class TSocket {
 public:
  // A new unconnected TCP socket; null when the system has none to give.
  static std::shared_ptr<TSocket> CreateTCP();
  ~TSocket();
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;

  // Limits for Connect and for each wait in Recv, in milliseconds; negative (the start value)
  // waits as long as it takes. A wait that runs out ends the connection as a failure would.
  void SetTimeouts(int connectMillis, int readMillis);
  // A limit on everything the socket still waits for: from now on no wait (connecting, sending,
  // receiving) runs past millis, and once they have passed each of them fails at once as a
  // failure would. Negative (the start value): no limit.
  void SetDeadline(int millis);
  // Milliseconds left before the deadline, 0 once it has passed; -1 without one.
  int MillisLeft() const;
  // Connects (blocking, within the connect limit) to address:port; false leaves the socket
  // unconnected.
  bool Connect(uint32_t address, int port);
  // Sends every byte unless the connection fails; returns the bytes sent. A failure marks the
  // socket unconnected; it never raises SIGPIPE.
  int Send(const void* buf, int count);
  // Waits for and returns up to count bytes; 0 when the peer has closed, the connection failed or
  // the peer stayed silent past the read limit.
  int Recv(void* buf, int count);
  // Bytes that can be read now without waiting.
  int ReadAvail();
  // Waits up to millis (negative: the read limit and deadline alone) for bytes to read; true
  // when some came or the peer closed.
  bool WaitReadable(int millis);
  // Whether a wait ran out (the connect or read limit, or the deadline): what was read may have
  // been cut short, unlike when the peer closed.
  bool TimedOut() const { return timed_out_; }
  // True while connected: false once closed, after a failure, or when the peer has closed and
  // every byte it sent has been read.
  bool Connected();
  void Close();

 private:
  explicit TSocket(int fd) : fd_(fd) {}
  // The wait allowed now for a limit (negative: none), cut to the deadline; false once the
  // deadline has passed.
  bool WaitAllowed(int limit, int& millis) const;
  int fd_ = -1;             // -1 once closed
  bool connected_ = false;  // connect succeeded and no end or failure seen since
  int connect_millis_ = -1;  // limits set by SetTimeouts; negative waits for ever
  int read_millis_ = -1;
  int64_t deadline_ = -1;  // monotonic milliseconds; negative: none
  bool timed_out_ = false;
};

using TSocketPtr = std::shared_ptr<TSocket>;

// A stream over the socket: reads wait for data, writes send. Its end is reached when it has no
// socket or the socket is no longer connected; reaching it closes the socket. Eof waits until
// data arrives or the peer closes, so a reply is never followed by a phantom empty read. With
// autoClose, closing (or destroying) the stream closes the socket too. A null socket gives a
// stream that is at its end.
TStreamPtr CreateSocketStream(const TSocketPtr& sock, bool autoClose);
