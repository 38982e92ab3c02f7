#include "framework/farewell.h"

#include "framework/debug_log.h"
#include "platform/files.h"

void Farewell() {
  LogLine("Closing Up");
  LogLine("");
  LogLine("Bye!");
  LogLine("");
  LogLine("Play again, soon!!");
  CloseDebugLog();
  ExitProcess(0);
}
