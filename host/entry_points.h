#pragma once
// The five entry points of a loaded plug-in module, typed as the host calls
// them, and their lookup by the names they are exported under.

#include <string>
#include <vector>

#include "host/plugin_module.h"
#include "plugin/exports.h"

namespace host {

struct EntryPoints {
    int(PLUGIN_CALL* getMinRefreshInterval)() = nullptr;
    void(PLUGIN_CALL* init)() = nullptr;
    void(PLUGIN_CALL* fini)() = nullptr;
    char*(PLUGIN_CALL* function1)(const char* path, const char* fieldNumber) = nullptr;
    char*(PLUGIN_CALL* function2)(const char* path, const char* ignored) = nullptr;
};

// Looks up every entry point in `module`. Returns the names of those it
// lacks, all of them, so one run reports every one; empty when all were found.
std::vector<std::string> resolveEntryPoints(const PluginModule& module, EntryPoints& entry);

}  // namespace host
