// Installs the recording driver and puts the drawing layer, the drawing helpers, the frame state
// and the settings back to their start values, for the life of a test.
#pragma once
#include <memory>

#include "platform/recording/recording_driver.h"

class TRecordingSetup {
 public:
  TRecordingSetup();
  ~TRecordingSetup();
  TRecordingDriver& driver() { return *driver_; }

 private:
  std::shared_ptr<TRecordingDriver> driver_;
};
