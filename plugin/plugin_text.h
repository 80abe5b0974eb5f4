#pragma once
// How text is handed to the host.

#include <cstddef>
#include <memory_resource>
#include <string_view>

namespace plugin {

// Answers that are never released. Each is carved from a monotonic arena as
// one byte-aligned piece, so it costs its own bytes and no allocator header;
// the only waste is the unused end of each block the arena takes, which
// grows geometrically, so there are few.
class TextArena {
public:
    explicit TextArena(std::pmr::memory_resource* upstream = std::pmr::new_delete_resource()) : memory_(upstream) {}

    // A NUL-terminated copy of `text`, cut at its first NUL byte as the host
    // reads it. Not synchronised: callers that may overlap must take turns.
    char* copy(std::string_view text);

private:
    std::pmr::monotonic_buffer_resource memory_;
};

// Returns a new NUL-terminated copy of `text` for the host. The host has no
// way to hand a text back and may keep every pointer it was given, so the
// copy is never released: it stays valid for the life of the process, even
// after the module is unloaded.
char* newPluginText(std::string_view text);

}  // namespace plugin
