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

// Makes the module forget the time of its last read: a failed read resets it
// to 0, so the next log dated after 1970 is read, whatever ran before.
inline void forgetLastRead() { moduleUnderTest().function1(nullptr, "0"); }

}  // namespace testing_support
