#pragma once
// Windows' name rules for an ANSI code page, as nameRules() builds them for
// the system's own: tests build them for the code pages a user may have.

#include "platform/file.h"

namespace platform {

NameRules ansiNameRules(unsigned codePage) noexcept;

}  // namespace platform
