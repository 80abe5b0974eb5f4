#pragma once
// How text is handed to the host.

#include <string_view>

namespace plugin {

// Returns a new NUL-terminated copy of `text`, cut at its first NUL byte as
// the host reads it. The host has no way to hand a text back, and may keep
// every pointer it was given, so the copy is never released: it stays valid
// for the life of the process, even after the module is unloaded.
char* newPluginText(std::string_view text);

}  // namespace plugin
