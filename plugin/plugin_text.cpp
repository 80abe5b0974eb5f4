#include "plugin/plugin_text.h"

#include <cstring>

namespace plugin {

namespace {

std::string_view asTheHostReadsIt(std::string_view text) noexcept { return text.substr(0, text.find('\0')); }

// Only the bytes of a piece as it was carved are looked at, whatever the host
// wrote into it or after it.
bool stillReads(const char* piece, std::size_t length, std::string_view text) noexcept {
    return piece[length] == '\0' && std::string_view(piece, length) == text;
}

}  // namespace

char* TextArena::piece(std::size_t size) {
    if (size >= kOwnBlockBytes) return static_cast<char*>(upstream_->allocate(size, 1));
    if (size > blockLeft_) {
        blockEnd_ = static_cast<char*>(upstream_->allocate(kBlockBytes, 1)) + kBlockBytes;
        blockLeft_ = kBlockBytes;
    }
    char* const carved = blockEnd_ - blockLeft_;
    blockLeft_ -= size;
    return carved;
}

char* TextArena::copy(std::string_view text) {
    char* const carved = piece(text.size() + 1);
    text.copy(carved, text.size());  // unlike memcpy, fine with the null data of an empty view
    carved[text.size()] = '\0';
    return carved;
}

char* TextArena::reuseOrCopy(std::string_view text, record::AnswerSlot& slot) {
    text = asTheHostReadsIt(text);
    if (slot.text != nullptr && stillReads(slot.text, slot.length, text)) return const_cast<char*>(slot.text);
    char* const carved = copy(text);
    slot = {carved, text.size()};
    return carved;
}

TextArena& answers() {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const arena = new TextArena;
    return *arena;
}

}  // namespace plugin
