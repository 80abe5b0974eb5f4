#include "cli/usage_error.h"

namespace cli {

std::string unknownOption(std::string_view program, std::string_view option) {
    std::string said = std::string(program) + ": unknown option " + std::string(option);
    if (!option.starts_with("--")) said += "; a LOG whose name starts with - goes after --, as in: -- " + std::string(option);
    return said + " (see " + std::string(program) + " --help)\n";
}

}  // namespace cli
