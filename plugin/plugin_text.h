#pragma once
// How text is handed to the host.

#include <cstddef>
#include <memory_resource>
#include <string_view>

#include "record/field_cache.h"

namespace plugin {

// Answers that are never released. Each is carved from a monotonic arena as
// one byte-aligned piece, so it costs its own bytes and no allocator header;
// the only waste is the unused end of each block the arena takes, which
// grows geometrically, so there are few.
class TextArena {
public:
    explicit TextArena(std::pmr::memory_resource* upstream = std::pmr::new_delete_resource()) : memory_(upstream) {}

    // The text last handed out in `slot` when it still reads exactly `text`
    // (cut at its first NUL, as the host reads it), else a new NUL-terminated
    // copy, then noted in `slot`. A host that wrote into an answer so gets a
    // new one with the right text. Not synchronised: callers that may overlap
    // must take turns.
    char* reuseOrCopy(std::string_view text, record::AnswerSlot& slot);

private:
    char* copy(std::string_view text);

    std::pmr::monotonic_buffer_resource memory_;
};

// The module's one arena of answers. The host has no way to hand a text back
// and may keep every pointer it was given, so nothing in it is ever released:
// each answer stays valid for the life of the process, even after the module
// is unloaded.
TextArena& answers();

}  // namespace plugin
