#include "explain/pattern_matches.h"

#include <algorithm>
#include <utility>

#include "record/name_pattern.h"
#include "record/folder_matches.h"

namespace explain {

namespace {

class Collector final : public platform::FolderVisitor {
public:
    Collector(std::string folder, std::string_view lastPart) : folder_(std::move(folder)), lastPart_(lastPart) {}

    bool wants(std::string_view name) noexcept override {
        return record::matchesPattern(lastPart_, name, platform::nameRules());
    }
    void found(std::string_view name, const platform::FileStatus& status) noexcept override {
        try {
            matches.push_back({folder_ + std::string(name), status});
        } catch (...) {
            // Out of memory: the report shows fewer matches.
        }
    }

    void unreadable(std::string_view name) noexcept override {
        try {
            skipped.push_back(folder_ + std::string(name));
        } catch (...) {
        }
    }

    std::vector<Match> matches;
    std::vector<std::string> skipped;

private:
    std::string folder_;
    std::string_view lastPart_;
};

}  // namespace

PatternListing patternMatches(const std::string& pattern) {
    const record::PathParts parts = record::splitPath(pattern);
    const std::string folder(parts.folder);
    const std::size_t start = folder.size();
    Collector collector(folder, parts.lastPart);
    if (!platform::listFolder(folder.c_str(), collector)) return {};
    std::sort(collector.matches.begin(), collector.matches.end(), [&](const Match& a, const Match& b) {
        return record::isNewer(a.status, std::string_view(a.path).substr(start), b.status,
                               std::string_view(b.path).substr(start));
    });
    return {std::move(collector.matches), std::move(collector.skipped)};
}

}  // namespace explain
