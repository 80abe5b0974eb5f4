#include "plugin/plugin_text.h"

#include <cstring>
#include <functional>

namespace plugin {

namespace {

std::string_view asTheHostReadsIt(std::string_view text) noexcept { return text.substr(0, text.find('\0')); }

// Only the bytes of a piece as it was carved are looked at, whatever the host
// wrote into it or after it.
bool stillReads(const char* piece, std::size_t length, std::string_view text) noexcept {
    return piece[length] == '\0' && std::string_view(piece, length) == text;
}

}  // namespace

bool TextArena::SameText::operator()(const HandedOut& a, const HandedOut& b) const noexcept {
    return a.hash == b.hash && a.length == b.length && std::memcmp(a.text, b.text, a.length) == 0;
}

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
    // Another log, or another field, may have been answered with these bytes:
    // a host polling more logs than the module remembers gets its unchanged
    // answers as the texts it was given before, not new memory at every poll.
    const HandedOut wanted{std::hash<std::string_view>{}(text), text.data(), text.size()};
    const auto found = handedOut_.find(wanted);
    if (found != handedOut_.end()) {
        if (stillReads(found->text, found->length, text)) {
            slot = {found->text, found->length};
            return const_cast<char*>(found->text);
        }
        handedOut_.erase(found);  // the host wrote over its end
    }
    char* const carved = copy(text);
    slot = {carved, text.size()};
    try {
        handedOut_.insert({wanted.hash, carved, text.size()});
    } catch (...) {
        // Out of memory for the note: this text is only not shared.
    }
    return carved;
}

TextArena& answers() {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const arena = new TextArena;
    return *arena;
}

}  // namespace plugin
