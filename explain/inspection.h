#pragma once
// marlowick-explain's report: what the module sees in a log, and why it
// answers what it does.

#include <string>

namespace explain {

enum ExitStatus { kAnswersFields = 0, kAnswersStatus = 1, kUsageError = 2 };

// Reads the log at `path` the way the module does, with the module's own
// code, and appends the report to `out`. Returns kAnswersFields when the
// module would answer fields, kAnswersStatus when it would answer a status
// text or, for a log it never reads, nothing. Never changes the log.
ExitStatus inspectLog(const char* path, std::string& out);

}  // namespace explain
