#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "cli/system_message.h"
#include "host/plugin_module.h"

namespace host {

// The host looks the stdcall entry points up by their decorated names.
const EntryPointNames kEntryPointNames = {
    "_GetMinRefreshInterval@0", "_QuelvinInit@0", "_QuelvinFini@0", "_function1@8", "_function2@8",
};

namespace {

// The system's message for the last error, with the module's path in place
// of the %1 insert some messages carry ("Bad EXE format for %1."), and the
// error code, which is what a search finds.
std::string lastErrorText(const std::string& path) {
    const DWORD code = ::GetLastError();
    std::string message = cli::systemMessage(code);
    for (std::size_t at = 0; (at = message.find("%1", at)) != std::string::npos; at += path.size()) {
        message.replace(at, 2, path);
    }
    const std::string number = "error " + std::to_string(code);
    return message.empty() ? number : message + " (" + number + ")";
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string& error) {
    // LoadLibrary searches the program's folder, the system's and the PATH
    // for a bare name or a relative path (and hands back a loaded module of
    // the same name); the host means the file the path names from the
    // current folder, which a full path names alone.
    std::string file = path;
    char full[MAX_PATH * 4];
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length > 0 && length < sizeof full) file.assign(full, length);
    const HMODULE module = ::LoadLibraryA(file.c_str());
    if (module == nullptr) {
        const bool notADll = ::GetLastError() == ERROR_BAD_EXE_FORMAT;
        error = (notADll ? "it is not a 32-bit Windows DLL: " : "") + lastErrorText(path);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(module));
}

PluginModule::~PluginModule() { ::FreeLibrary(static_cast<HMODULE>(handle_)); }

PluginModule::Function PluginModule::find(const char* name) const {
    return reinterpret_cast<Function>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace host
