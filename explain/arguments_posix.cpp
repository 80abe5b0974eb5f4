#include "explain/arguments.h"

namespace explain {

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace explain
