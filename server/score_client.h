// The game's requests as the operator's tool and the load test send them: one GET (or a
// replay's POST) a connection over a plain socket, the bytes the game's own client writes (LF
// line ends, a CR LF after the blank line or the body, its User-Agent), the reply read until the
// server closes it.
#pragma once
#include <string>

// Asks the server at "HOST[:PORT]" (port 80 without one) for path (a request path of
// protocol/online_requests.h) and returns the reply's body; "" when no connection was made or
// nothing came before the time ran out.
std::string ScoreRequest(const std::string& server, const std::string& path, int timeoutMillis = 10000);
// The same for a submission with its replay: a POST of path whose form carries the replay's text.
std::string ScoreReplayRequest(const std::string& server, const std::string& path, const std::string& replay,
                               int timeoutMillis = 10000);
