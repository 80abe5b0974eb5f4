#include "plugin/exports.h"

#include <mutex>
#include <string>

#include "platform/file.h"
#include "plugin/answer_slots.h"
#include "plugin/file_age.h"
#include "plugin/plugin_text.h"
#include "record/field_cache.h"

namespace {

// Built by the module's load-time start-up, before the host's first call.
record::FieldCache fieldCache;
plugin::AnswerSlots answerSlots;

// The host should not overlap its calls, but nothing breaks if it does: one
// lock makes them take turns over the cache and the arena of answers.
std::mutex moduleMutex;

// Where a path from the host is converted into the module's own text; it
// keeps its buffer, so a poll of a path polled before takes nothing new.
std::string pathRoom;

// No exception may reach the host, which could not catch it. The only one
// possible is running out of memory; the host then gets an empty text that
// needs no allocation.
template <typename Query>
char* answerOrEmpty(Query query) noexcept {
    try {
        return query();
    } catch (...) {
        static char empty[1] = "";
        return empty;
    }
}

}  // namespace

extern "C" int PLUGIN_CALL GetMinRefreshInterval(void) { return 1000; }

extern "C" void PLUGIN_CALL QuelvinInit(void) {}

extern "C" void PLUGIN_CALL QuelvinFini(void) {}

extern "C" char* PLUGIN_CALL function1(const char* path, const char* fieldNumber) {
    return answerOrEmpty([&] {
        const std::lock_guard<std::mutex> lock(moduleMutex);
        // The path's slots first: running out of memory there leaves the
        // cache as it was.
        plugin::AnswerSlots::OfPath& slots = answerSlots.of(path);
        const record::FieldAnswer answer = fieldCache.queryField(platform::pathFromHost(path, pathRoom), fieldNumber);
        return plugin::answers().reuseOrCopy(answer.text, slots[answer.query]);
    });
}

extern "C" char* PLUGIN_CALL function2(const char* path, const char* /*ignored*/) {
    return answerOrEmpty([&] {
        const std::lock_guard<std::mutex> lock(moduleMutex);
        return plugin::queryFileAge(platform::pathFromHost(path, pathRoom), fieldCache);
    });
}
