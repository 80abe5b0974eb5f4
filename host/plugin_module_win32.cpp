#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "host/plugin_module.h"

namespace host {

// The host looks the stdcall entry points up by their decorated names.
const EntryPointNames kEntryPointNames = {
    "_GetMinRefreshInterval@0", "_QuelvinInit@0", "_QuelvinFini@0", "_function1@8", "_function2@8",
};

namespace {

std::string lastErrorText() {
    const DWORD code = ::GetLastError();
    char text[512] = "";
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string& error) {
    const HMODULE module = ::LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = lastErrorText();
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(module));
}

PluginModule::~PluginModule() { ::FreeLibrary(static_cast<HMODULE>(handle_)); }

PluginModule::Function PluginModule::find(const char* name) const {
    return reinterpret_cast<Function>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace host
