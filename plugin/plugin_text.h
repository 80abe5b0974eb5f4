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
    struct Usage {
        std::size_t blocks = 0;        // taken from the heap so far
        std::size_t bytes = 0;         // all blocks together
        std::size_t currentBlock = 0;  // the one being filled
    };

    // A NUL-terminated copy of `text`, cut at its first NUL byte as the host
    // reads it. Not synchronised: callers that may overlap must take turns.
    char* copy(std::string_view text);

    Usage usage() const;

private:
    // Counts what the arena takes from the heap.
    class CountingUpstream : public std::pmr::memory_resource {
    public:
        Usage usage;

    private:
        void* do_allocate(std::size_t bytes, std::size_t alignment) override;
        void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
        bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;
    };

    CountingUpstream upstream_;
    std::pmr::monotonic_buffer_resource memory_{&upstream_};
};

// Returns a new NUL-terminated copy of `text` for the host. The host has no
// way to hand a text back and may keep every pointer it was given, so the
// copy is never released: it stays valid for the life of the process, even
// after the module is unloaded.
char* newPluginText(std::string_view text);

}  // namespace plugin
