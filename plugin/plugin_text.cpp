#include "plugin/plugin_text.h"

#include "record/record_layout.h"

namespace plugin {

namespace {

std::string_view asTheHostReadsIt(std::string_view text) noexcept { return text.substr(0, text.find('\0')); }

// Only the bytes of a piece as it was carved are looked at, whatever the host
// wrote into it or after it.
bool stillReads(const char* piece, std::size_t length, std::string_view text) noexcept {
    return piece[length] == '\0' && std::string_view(piece, length) == text;
}

}  // namespace

TextArena::~TextArena() {
    while (last_ != nullptr) {
        Block* const previous = last_->previous;
        upstream_->deallocate(last_, last_->size, alignof(Block));
        last_ = previous;
    }
}

char* TextArena::block(std::size_t room) {
    const std::size_t size = sizeof(Block) + room;
    Block* const taken = static_cast<Block*>(upstream_->allocate(size, alignof(Block)));
    *taken = {last_, size};
    last_ = taken;
    return reinterpret_cast<char*>(taken + 1);
}

char* TextArena::piece(std::size_t size) {
    if (size >= kOwnBlockBytes) return block(size);
    if (size > blockLeft_) {
        constexpr std::size_t kRoom = kBlockBytes - kBlockHeaderBytes;
        blockEnd_ = block(kRoom) + kRoom;
        blockLeft_ = kRoom;
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

AnswerSlot* TextArena::sharedSlot(std::string_view text) noexcept {
    if (text.empty()) return &shared_[0];
    if (text == record::kUnableToOpen) return &shared_[1];
    if (text == record::kFileTooSmall) return &shared_[2];
    return nullptr;
}

char* TextArena::reuseOrCopy(std::string_view text, AnswerSlot& slot) {
    text = asTheHostReadsIt(text);
    const auto reads = [&](const AnswerSlot& noted) {
        return noted.text != nullptr && stillReads(noted.text, noted.length, text);
    };
    if (reads(slot)) return const_cast<char*>(slot.text);
    AnswerSlot* const shared = sharedSlot(text);
    if (shared != nullptr && reads(*shared)) {
        slot = *shared;
        return const_cast<char*>(slot.text);
    }
    char* const carved = copy(text);
    slot = {carved, text.size()};
    if (shared != nullptr) *shared = slot;
    return carved;
}

TextArena& answers() {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const arena = new TextArena;
    return *arena;
}

}  // namespace plugin
