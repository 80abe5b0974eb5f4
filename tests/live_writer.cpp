// live-writer LOG SECONDS: appends records to LOG as fast as it can for
// SECONDS seconds, flushing after every line and in the middle of some, the
// way a busy messaging client's log grows. Every value carries its record's
// number. Prints the number of records written.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/chat_record.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: live-writer LOG SECONDS\n", stderr);
        return 2;
    }
    std::FILE* log = std::fopen(argv[1], "ab");
    if (log == nullptr) return 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    long records = 0;
    const auto line = [&](const std::string& text) {
        const std::size_t half = text.size() / 2;
        std::fwrite(text.data(), 1, half, log);
        if (records % 3 == 0) std::fflush(log);  // a reader may find half a line
        std::fwrite(text.data() + half, 1, text.size() - half, log);
        std::fputs("\r\n", log);
        std::fflush(log);
    };
    while (std::chrono::steady_clock::now() < end) {
        const std::string n = std::to_string(++records);
        const bool sametime = records % 2 == 0;
        const demo::ChatRecord record{"today (t" + n + ")", n, sametime ? "SAMETIME" : "XMPP", "c" + n, "s" + n,
                                      sametime ? "&lt;html&gt;&lt;body&gt;m" + n + "&lt;/body&gt;&lt;/html&gt;" : "m" + n};
        for (const std::string& text : demo::recordLines(record)) line(text);
    }
    std::fclose(log);
    std::printf("%ld\n", records);
    return 0;
}
