#include "cli/system_message.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace cli {

std::string systemMessage(unsigned long code) {
    char text[512] = "";
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

}  // namespace cli
