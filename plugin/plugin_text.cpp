#include "plugin/plugin_text.h"

#include <cstring>
#include <memory_resource>
#include <mutex>

namespace plugin {

namespace {

// Answers are carved from a monotonic arena, one byte-aligned piece each, so
// a never-released answer costs its own bytes and no allocator header. The
// arena is deliberately never destroyed: unloading the module must not take
// the host's texts with it.
struct TextArena {
    std::mutex mutex;
    std::pmr::monotonic_buffer_resource memory;
};

TextArena& textArena() {
    static TextArena* const arena = new TextArena;
    return *arena;
}

}  // namespace

char* newPluginText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    TextArena& arena = textArena();
    char* copy;
    {
        const std::lock_guard<std::mutex> lock(arena.mutex);
        copy = static_cast<char*>(arena.memory.allocate(text.size() + 1, 1));
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

}  // namespace plugin
