#include "plugin/plugin_text.h"

namespace plugin {

char* TextArena::copy(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    char* const piece = static_cast<char*>(memory_.allocate(text.size() + 1, 1));
    text.copy(piece, text.size());  // unlike memcpy, fine with the null data of an empty view
    piece[text.size()] = '\0';
    return piece;
}

char* newPluginText(std::string_view text) {
    // Deliberately never destroyed: unloading the module must not take the
    // host's texts with it.
    static TextArena* const answers = new TextArena;
    return answers->copy(text);
}

}  // namespace plugin
