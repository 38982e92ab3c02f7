// The whole start-up of the real program, run in a child process on a manual clock, judged by the
// log it writes and its exit code.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "framework/main_program.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

// Runs Main in a child with the working directory set to the current one; returns its exit code.
int RunMainInChild() {
  pid_t pid = fork();
  if (pid == 0) {
    static TManualClock clock;
    SetClock(&clock);
    Main();
    _exit(99);  // Main must end through the farewell, never return
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char kBanner[] =
    "Corvenna's Pellmoor Engine\r\n"
    "----------------------------\r\n"
    "Week #3\r\n"
    "----------------------------\r\n"
    "#3 : Lambrisk \r\n"
    "----------------------------\r\n"
    "\r\n"
    "Loading\r\n";

TEST(Startup, WritesTheBannerAndEndsWithExitCodeZero) {
  TTempDir dir;
  ASSERT_EQ(system("mkdir -p Files/003"), 0);
  EXPECT_EQ(RunMainInChild(), 0);
  std::string log = TTempDir::Read("Files/Debug.txt");
  ASSERT_EQ(log.compare(0, sizeof kBanner - 1, kBanner), 0) << log;
  // Without a setup file the log goes straight from "Loading" to the audio driver.
  std::string after = log.substr(sizeof kBanner - 1);
  EXPECT_EQ(after.rfind("Setting Audio Driver\r\nSet Audio Driver\r\n\r\n"
                        "\tRequested Resolution : 800x600\r\n\tSetup Loaded\r\n\r\n"
                        "Grabbing Previous Scores\r\n\r\n", 0), 0u) << after;
  EXPECT_NE(log.find("Finished Loading\r\n"), std::string::npos);
  EXPECT_EQ(log.substr(log.size() - 22), "\r\nPlay again, soon!!\r\n");
}

TEST(Startup, RunsWithoutAFilesFolder) {
  TTempDir dir;
  EXPECT_EQ(RunMainInChild(), 0);
  // The log then lives beside the start directory.
  EXPECT_EQ(FileType("Debug.txt"), FILETYPE_FILE);
}

TEST(Startup, EveryRunStartsAFreshLog) {
  TTempDir dir;
  ASSERT_EQ(system("mkdir -p Files/003"), 0);
  TTempDir::Write("Files/Debug.txt", std::string(100000, '~'));
  EXPECT_EQ(RunMainInChild(), 0);
  std::string log = TTempDir::Read("Files/Debug.txt");
  EXPECT_EQ(log.find('~'), std::string::npos);
}

}  // namespace
