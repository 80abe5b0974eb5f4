#pragma once
// The module's five entry points, as the host looks them up and calls them.
// On 32-bit Windows they are stdcall, so their exported names are decorated
// (_function1@8); the module-definition file pins those names. Elsewhere the
// plain names are the only symbols the module shows.

#if defined(_WIN32) && !defined(_WIN64)
#define PLUGIN_CALL __stdcall
#else
#define PLUGIN_CALL
#endif

#if defined(_WIN32)
#define PLUGIN_API
#else
#define PLUGIN_API __attribute__((visibility("default")))
#endif

extern "C" {

// The shortest interval, in milliseconds, at which the host should poll.
PLUGIN_API int PLUGIN_CALL GetMinRefreshInterval(void);

// Neither does anything: the module needs no setup and keeps nothing open.
PLUGIN_API void PLUGIN_CALL QuelvinInit(void);
PLUGIN_API void PLUGIN_CALL QuelvinFini(void);

// A field of the last record in the log at `path`; `fieldNumber` is decimal text.
PLUGIN_API char* PLUGIN_CALL function1(const char* path, const char* fieldNumber);

// Seconds since the log at `path` was last modified; the second argument is ignored.
PLUGIN_API char* PLUGIN_CALL function2(const char* path, const char* ignored);

}  // extern "C"
