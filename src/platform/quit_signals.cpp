#include "platform/quit_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t quit_requested = 0;

// Nothing else is safe here: the game thread may be anywhere, inside Xlib or the allocator.
void NoteQuit(int) { quit_requested = 1; }

}  // namespace

void InstallQuitSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = NoteQuit;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

int QuitSignalled() { return quit_requested ? 1 : 0; }

void ResetQuitSignal() { quit_requested = 0; }
