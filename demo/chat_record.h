#pragma once
// One record of a chat log, twelve lines, as the messaging client writes it:
// the one template the demo writer and the tests' log writers share.
// Counted from the end of the record, line 11 holds the time in parentheses,
// line 8 the service, line 6 the conversation, line 4 the sender and line 2
// the text.

#include <array>
#include <string>

namespace demo {

struct ChatRecord {
    std::string sent;  // the date and (time)
    std::string id;
    std::string service;
    std::string conversation;
    std::string from;
    std::string text;
};

inline std::array<std::string, 12> recordLines(const ChatRecord& record) {
    const auto quoted = [](const std::string& value) { return "\"" + value + "\""; };
    return {
        "<message>",
        "  sent: " + record.sent,
        "  id: " + record.id,
        "  direction: incoming",
        "  service: " + quoted(record.service),
        "  account: \"bram.oakes\"",
        "  conversation: " + quoted(record.conversation),
        "  status: \"delivered\"",
        "  from: " + quoted(record.from),
        "  format: \"text/html\"",
        "  text: " + quoted(record.text),
        "</message>",
    };
}

}  // namespace demo
