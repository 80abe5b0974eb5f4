#pragma once
// A plug-in module file loaded into this process, the way the host loads one.
// One source per OS implements it (plugin_module_posix.cpp, ...).

#include <memory>
#include <string>

namespace host {

class PluginModule {
public:
    using Function = void (*)();

    // Loads the module file at `path`; on failure returns null and says why
    // in `error`.
    static std::unique_ptr<PluginModule> load(const std::string& path, std::string& error);

    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // The exported function called `name`, or null.
    Function find(const char* name) const;

private:
    explicit PluginModule(void* handle) : handle_(handle) {}
    void* handle_;
};

// The names the entry points are exported under on this platform.
struct EntryPointNames {
    const char* getMinRefreshInterval;
    const char* init;
    const char* fini;
    const char* function1;
    const char* function2;
};
extern const EntryPointNames kEntryPointNames;

}  // namespace host
