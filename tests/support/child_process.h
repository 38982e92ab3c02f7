// Running a piece of a test in a forked child: for paths that end the process (the farewell, a
// fatal error) and for libraries that read their configuration once per process.
#pragma once
#include <functional>

// A child that has not ended by then is killed by its alarm and judged a failure, so a hang
// fails its test instead of holding up the whole run.
constexpr unsigned kChildSeconds = 60;

// Runs body in a forked child with OpenAL kept silent (its null output; a body that wants another
// output unsets ALSOFT_DRIVERS). Returns the child's exit code, or -1 when it did not exit
// normally (a signal, the alarm) or could not be started. A body that returns exits with 99.
int RunInChild(const std::function<void()>& body, unsigned seconds = kChildSeconds);
