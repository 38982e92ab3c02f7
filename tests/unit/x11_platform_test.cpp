// The X11 platform pieces that need no window: the error handler's reports (against a private
// Xvfb) and the guardian that puts the desktop's mode back when the program dies.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform_log.h"
#include "platform/x11/mode_guardian.h"
#include "platform/x11/x11_connection.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/xvfb_server.h"

namespace {

std::vector<std::string> warnings;
void Collect(const std::string& line) { warnings.push_back(line); }

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Restore stand-in: the guardian runs it in its own process, so it leaves a file as evidence.
std::function<void()> MarkRestored(const std::string& path) {
  return [path]() { std::ofstream(path) << "restored"; };
}

}  // namespace

TEST(X11Errors, TwoIdenticalErrorsAreCountedButReportedOnce) {
  if (!TXvfbServer::Available()) GTEST_SKIP() << "Xvfb is not installed";
  TXvfbServer server;
  ASSERT_TRUE(server.Start());
  warnings.clear();
  SetPlatformLogSink(Collect);
  const int counted = ProvokeX11ErrorsForTest(2);
  SetPlatformLogSink(nullptr);
  EXPECT_EQ(counted, 2);
  ASSERT_EQ(warnings.size(), 1u);
  // BadWindow (3) on MapWindow (8).
  EXPECT_NE(warnings[0].find("X error 3 "), std::string::npos) << warnings[0];
  EXPECT_NE(warnings[0].find("on request 8."), std::string::npos) << warnings[0];
}

TEST(ModeGuardian, RestoresWhenItsParentDiesAndNotAfterAnOrderlyDismiss) {
  TTempDir dir;
  const std::string killed = dir.Path() + "/killed";
  const std::string dismissed = dir.Path() + "/dismissed";

  // A parent that switched, then died by a signal no handler can catch.
  ASSERT_EQ(RunInChild([&killed] {
              TModeGuardian guardian;
              if (!guardian.Start(MarkRestored(killed))) _exit(1);
              raise(SIGKILL);
            }),
            -1);
  // The guardian (now an orphan) restores on its own time: wait for it under a generous deadline.
  for (int i = 0; i < 3000 && Slurp(killed) != "restored"; ++i) {
    const timespec pause{0, 10000000};
    nanosleep(&pause, nullptr);
  }
  EXPECT_EQ(Slurp(killed), "restored");

  TModeGuardian guardian;
  ASSERT_TRUE(guardian.Start(MarkRestored(dismissed)));
  EXPECT_TRUE(guardian.Running());
  guardian.Dismiss();  // waits for the child, so its choice is final here
  EXPECT_FALSE(guardian.Running());
  EXPECT_EQ(Slurp(dismissed), "");
}
