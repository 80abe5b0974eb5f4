#include "plugin/plugin_text.h"

namespace plugin {

namespace {

std::string_view asTheHostReadsIt(std::string_view text) noexcept { return text.substr(0, text.find('\0')); }

}  // namespace

char* TextArena::copy(std::string_view text) {
    char* const piece = static_cast<char*>(memory_.allocate(text.size() + 1, 1));
    text.copy(piece, text.size());  // unlike memcpy, fine with the null data of an empty view
    piece[text.size()] = '\0';
    return piece;
}

char* TextArena::reuseOrCopy(std::string_view text, record::AnswerSlot& slot) {
    text = asTheHostReadsIt(text);
    // Only the bytes of the piece as it was carved are looked at, whatever
    // the host wrote into it.
    if (slot.text != nullptr && slot.text[slot.length] == '\0' && std::string_view(slot.text, slot.length) == text) {
        return const_cast<char*>(slot.text);
    }
    char* const piece = copy(text);
    slot = {piece, text.size()};
    return piece;
}

TextArena& answers() {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const arena = new TextArena;
    return *arena;
}

}  // namespace plugin
