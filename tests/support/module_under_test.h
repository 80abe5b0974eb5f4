#pragma once
// The built module, loaded the way the host loads it, once per test program,
// and never unloaded: the answers it hands out must stay valid.
// MARLOWICK_MODULE_PATH names the module file.

#include <stdexcept>
#include <string>

#include "host/plugin_module.h"
#include "plugin/exports.h"

namespace testing_support {

struct ModuleEntryPoints {
    host::PluginModule* module;
    int(PLUGIN_CALL* getMinRefreshInterval)();
    void(PLUGIN_CALL* init)();
    void(PLUGIN_CALL* fini)();
    char*(PLUGIN_CALL* function1)(const char*, const char*);
    char*(PLUGIN_CALL* function2)(const char*, const char*);
};

inline const ModuleEntryPoints& moduleUnderTest() {
    static const ModuleEntryPoints entry = [] {
        std::string error;
        host::PluginModule* module = host::PluginModule::load(MARLOWICK_MODULE_PATH, error).release();
        if (module == nullptr) throw std::runtime_error("cannot load the module: " + error);
        const auto find = [&](auto& pointer, const char* name) {
            const host::PluginModule::Function found = module->find(name);
            if (found == nullptr) throw std::runtime_error(std::string("the module lacks ") + name);
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(found);
        };
        ModuleEntryPoints e{module, nullptr, nullptr, nullptr, nullptr, nullptr};
        const host::EntryPointNames& names = host::kEntryPointNames;
        find(e.getMinRefreshInterval, names.getMinRefreshInterval);
        find(e.init, names.init);
        find(e.fini, names.fini);
        find(e.function1, names.function1);
        find(e.function2, names.function2);
        return e;
    }();
    return entry;
}

}  // namespace testing_support
