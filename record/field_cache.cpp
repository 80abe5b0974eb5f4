#include "record/field_cache.h"

#include "platform/file.h"
#include "record/field_number.h"
#include "record/tail_reader.h"

namespace record {

char* FieldCache::queryField(const char* path, const char* fieldNumber, AnswerCopy copy) {
    const platform::FileStatus status = platform::statFile(path);
    // A path whose status is unknown, or that is no regular file, is read
    // anyway, so that it answers "Unable to open file." rather than serving
    // another file's fields.
    const bool readable = status.ok && status.regularFile;
    if (!readable || status.modifiedSeconds > lastModified_) {
        lastModified_ = readable ? status.modifiedSeconds : 0;
        if (!readFieldSet(path, fields_)) {
            lastModified_ = 0;
            return copy(fields_.field(kStatusField));
        }
    }
    const std::optional<std::size_t> index = parseFieldNumber(fieldNumber);
    return copy(index ? fields_.field(*index) : std::string_view());
}

}  // namespace record
