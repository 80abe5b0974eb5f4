#pragma once
// marlowick-explain's arguments as the module's own text: on Windows taken
// from the system as UTF-16 and turned into UTF-8, so that a path typed in
// any script reaches the file it names; elsewhere the bytes as given.

#include <string>
#include <vector>

namespace explain {

std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace explain
