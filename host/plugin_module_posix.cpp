#include <dlfcn.h>

#include "host/plugin_module.h"

namespace host {

const EntryPointNames kEntryPointNames = {
    "GetMinRefreshInterval", "QuelvinInit", "QuelvinFini", "function1", "function2",
};

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string& error) {
    // dlopen searches the library path for a bare name; the host means a file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // RTLD_NODELETE: the module's answers outlive its unloading, and so must
    // the image that still refers to them, or a leak checker loses track.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : "cannot load " + path;
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(handle));
}

PluginModule::~PluginModule() { ::dlclose(handle_); }

PluginModule::Function PluginModule::find(const char* name) const {
    return reinterpret_cast<Function>(::dlsym(handle_, name));
}

}  // namespace host
