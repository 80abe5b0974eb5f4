#include "host/entry_points.h"

namespace host {

namespace {

template <typename Pointer>
void resolve(const PluginModule& module, const char* name, Pointer& pointer, std::vector<std::string>& missing) {
    const PluginModule::Function found = module.find(name);
    if (found == nullptr) missing.emplace_back(name);
    pointer = reinterpret_cast<Pointer>(found);
}

}  // namespace

std::vector<std::string> resolveEntryPoints(const PluginModule& module, EntryPoints& entry) {
    const EntryPointNames& names = kEntryPointNames;
    std::vector<std::string> missing;
    resolve(module, names.getMinRefreshInterval, entry.getMinRefreshInterval, missing);
    resolve(module, names.init, entry.init, missing);
    resolve(module, names.fini, entry.fini, missing);
    resolve(module, names.function1, entry.function1, missing);
    resolve(module, names.function2, entry.function2, missing);
    return missing;
}

}  // namespace host
