// The recording-driver test setup.
#include "support/recording_setup.h"

#include "framework/present_frame.h"
#include "frontend/main_program.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "ui/draw_helpers.h"

TRecordingSetup::TRecordingSetup() : driver_(std::make_shared<TRecordingDriver>()) {
  SetDrawDriver(driver_);
  InstallFrontEndSteps();
  ResetMainProgram();
  ResetInput();
  ResetImageDefaults();
  ResetDrawHelpers();
  ResetPresentFrame();
  OpenGraphics(1600, 900);
  ResetDrawState();
}

TRecordingSetup::~TRecordingSetup() {
  CloseGraphics();
  SetDrawDriver(nullptr);
  ResetDrawState();
}
