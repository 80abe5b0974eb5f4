// chat-writer: appends to a chat log the way a messaging client does, so the
// module has a live log to read. It writes some history at once, then keeps
// the file open and appends a message every one or two seconds.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

#include "demo/chat_record.h"

namespace {

struct Message {
    const char* service;
    const char* from;
    const char* conversation;
    const char* text;
};

// The SAMETIME service sends its text wrapped in an escaped html/body
// envelope; the module takes it off.
constexpr Message kMessages[] = {
    {"XMPP", "Ada Quinn", "Team lunch", "Lunch at noon?"},
    {"XMPP", "Bram Oakes", "Team lunch", "Sure, the usual place"},
    {"SAMETIME", "Cem Ilgaz", "Release 4.2",
     "&lt;html&gt;&lt;body&gt;Build 1187 is green again&lt;/body&gt;&lt;/html&gt;"},
    {"IRC", "dora", "#ops", "disk alert on db-2 cleared"},
    {"XMPP", "Ada Quinn", "Team lunch", "See you there"},
    {"SAMETIME", "Cem Ilgaz", "Release 4.2", "&lt;html&gt;&lt;body&gt;Tagging now&lt;/body&gt;&lt;/html&gt;"},
    {"IRC", "erik", "#ops", "deploy window opens at 15:00"},
};

std::string timestamp() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d (%H:%M:%S)", std::localtime(&now));
    return text;
}

// One record, each line ended by CR LF.
void writeRecord(std::ofstream& log, int id, const Message& message) {
    const demo::ChatRecord record{timestamp(), std::to_string(id), message.service, message.conversation,
                                  message.from, message.text};
    for (const std::string& line : demo::recordLines(record)) log << line << "\r\n";
    log.flush();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || std::string_view(argv[1]) == "--help") {
        std::fputs("usage: chat-writer LOG [SECONDS]\n"
                   "Writes some history to LOG, then appends a message every one or two\n"
                   "seconds for SECONDS seconds (default 10).\n",
                   argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 10;
    std::ofstream log(argv[1], std::ios::binary | std::ios::app);
    if (!log) {
        std::fprintf(stderr, "chat-writer: cannot open %s\n", argv[1]);
        return 1;
    }
    log << "# chat log, one <message> record per message\r\n";
    std::size_t sent = 0;
    const auto sendNext = [&] {
        writeRecord(log, 1000 + static_cast<int>(sent), kMessages[sent % std::size(kMessages)]);
        ++sent;
    };
    while (sent < 4) sendNext();

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(sent % 2 == 0 ? 1500 : 2000));
        sendNext();
    }
    return 0;
}
