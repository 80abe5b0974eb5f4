// A module that lacks two of the five entry points, for the host's test.

#include "plugin/exports.h"

extern "C" PLUGIN_API int PLUGIN_CALL GetMinRefreshInterval(void) { return 1000; }
extern "C" PLUGIN_API void PLUGIN_CALL QuelvinInit(void) {}
extern "C" PLUGIN_API void PLUGIN_CALL QuelvinFini(void) {}
