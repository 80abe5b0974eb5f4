#include "explain/arguments.h"

#include <memory>

#include "platform/utf16_win32.h"

#include <shellapi.h>

namespace explain {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                                ::LocalFree);
    // Should the system not split its command line, the ANSI arguments.
    if (!wide) return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(platform::utf8FromUtf16(wide.get()[i]));
    return arguments;
}

}  // namespace explain
