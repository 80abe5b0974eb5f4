#pragma once
// The built module, loaded the way the host loads it, once per test program,
// and never unloaded: the answers it hands out must stay valid.
// MARLOWICK_MODULE_PATH names the module file.

#include <stdexcept>
#include <string>

#include "host/entry_points.h"

namespace testing_support {

inline const host::EntryPoints& moduleUnderTest() {
    static const host::EntryPoints entry = [] {
        std::string error;
        // Held for good, where a leak checker still sees it.
        static const host::PluginModule* const module =
            host::PluginModule::load(MARLOWICK_MODULE_PATH, error).release();
        if (module == nullptr) throw std::runtime_error("cannot load the module: " + error);
        host::EntryPoints e;
        const auto missing = host::resolveEntryPoints(*module, e);
        if (!missing.empty()) throw std::runtime_error("the module lacks " + missing.front());
        return e;
    }();
    return entry;
}

}  // namespace testing_support
