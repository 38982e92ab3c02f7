// The build's Online tab switch (LAMBRISK_ONLINE_TAB, 0 or 1, set by the build).
#include "base/program_state.h"

const int OnlineTab = LAMBRISK_ONLINE_TAB;
