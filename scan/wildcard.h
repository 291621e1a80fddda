// File-name masks as the junk list and the protected names write them.
#pragma once
#include <string_view>

// "*" any run of characters, "?" exactly one character (one UTF-8 sequence, not one byte); both
// sides already lower-cased by the caller.
bool MatchWildcard(std::string_view pattern, std::string_view name);
