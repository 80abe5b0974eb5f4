#include "cli/console.h"

namespace cli {

void writeText(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace cli
