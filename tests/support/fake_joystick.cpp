// Fake joystick devices: recordings and FIFOs in a temporary folder the probe is redirected to.
#include "support/fake_joystick.h"

#include "platform/joystick.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(TJsRecord) == sizeof(js_event), "records must match the kernel layout");
static_assert(offsetof(TJsRecord, value) == offsetof(js_event, value), "value offset");
static_assert(offsetof(TJsRecord, number) == offsetof(js_event, number), "number offset");

TJsRecord JsAxis(int number, int value, bool initial) {
  TJsRecord r;
  r.value = int16_t(value);
  r.type = uint8_t(JS_EVENT_AXIS | (initial ? JS_EVENT_INIT : 0));
  r.number = uint8_t(number);
  return r;
}

TJsRecord JsButton(int number, bool down, bool initial) {
  TJsRecord r;
  r.value = down ? 1 : 0;
  r.type = uint8_t(JS_EVENT_BUTTON | (initial ? JS_EVENT_INIT : 0));
  r.number = uint8_t(number);
  return r;
}

TFakeJoysticks::TFakeJoysticks() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lambrisk-joy-XXXXXX").string();
  if (mkdtemp(&pattern[0])) root_ = pattern;
  EXPECT_FALSE(root_.empty()) << "cannot create a temporary folder";
  if (const char* old = std::getenv("LAMBRISK_JOYSTICK_ROOT")) {
    had_root_ = true;
    saved_root_ = old;
  }
  setenv("LAMBRISK_JOYSTICK_ROOT", root_.c_str(), 1);
  ResetJoysticks();
}

TFakeJoysticks::~TFakeJoysticks() {
  ResetJoysticks();
  for (int fd : writers_) close(fd);
  if (had_root_) {
    setenv("LAMBRISK_JOYSTICK_ROOT", saved_root_.c_str(), 1);
  } else {
    unsetenv("LAMBRISK_JOYSTICK_ROOT");
  }
  std::error_code ignored;
  if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
}

std::string TFakeJoysticks::PathOf(const std::string& path) {
  std::filesystem::path full = std::filesystem::path(root_) / path;
  std::filesystem::create_directories(full.parent_path());
  return full.string();
}

void TFakeJoysticks::Recording(const std::string& path, const std::vector<TJsRecord>& records) {
  RawRecording(path, std::string(reinterpret_cast<const char*>(records.data()),
                                 records.size() * sizeof(TJsRecord)));
}

void TFakeJoysticks::RawRecording(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathOf(path), std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

int TFakeJoysticks::Live(const std::string& path) {
  std::string full = PathOf(path);
  EXPECT_EQ(mkfifo(full.c_str(), 0600), 0) << "cannot make FIFO " << full;
  // Read-write so the open neither blocks nor needs a reader yet.
  int fd = open(full.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  EXPECT_GE(fd, 0) << "cannot open FIFO " << full;
  writers_.push_back(fd);
  return int(writers_.size()) - 1;
}

void TFakeJoysticks::Send(int device, const std::vector<TJsRecord>& records) {
  SendBytes(device, std::string(reinterpret_cast<const char*>(records.data()),
                                records.size() * sizeof(TJsRecord)));
}

void TFakeJoysticks::SendBytes(int device, const std::string& bytes) {
  ASSERT_GE(device, 0);
  ASSERT_LT(device, int(writers_.size()));
  ssize_t n = write(writers_[size_t(device)], bytes.data(), bytes.size());
  EXPECT_EQ(n, ssize_t(bytes.size()));
}
