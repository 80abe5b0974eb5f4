#include "plugin/plugin_text.h"

namespace plugin {

void* TextArena::CountingUpstream::do_allocate(std::size_t bytes, std::size_t alignment) {
    void* block = std::pmr::new_delete_resource()->allocate(bytes, alignment);
    ++usage.blocks;
    usage.bytes += bytes;
    usage.currentBlock = bytes;
    return block;
}

void TextArena::CountingUpstream::do_deallocate(void* p, std::size_t bytes, std::size_t alignment) {
    std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
}

bool TextArena::CountingUpstream::do_is_equal(const std::pmr::memory_resource& other) const noexcept {
    return this == &other;
}

char* TextArena::copy(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    char* const piece = static_cast<char*>(memory_.allocate(text.size() + 1, 1));
    text.copy(piece, text.size());  // unlike memcpy, fine with the null data of an empty view
    piece[text.size()] = '\0';
    return piece;
}

TextArena::Usage TextArena::usage() const { return upstream_.usage; }

char* newPluginText(std::string_view text) {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const answers = new TextArena;
    return answers->copy(text);
}

}  // namespace plugin
