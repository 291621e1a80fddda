// Which directory entry names a Windows path can hold: shared by the scanner and the cleaning run.
#pragma once
#include <string_view>

enum class NameKind { Ascii, Other, Unholdable };

// One pass over the name's bytes: whether it can be held, and whether the ASCII fast path serves.
NameKind ClassifyName(std::string_view name);
// Whether a directory entry's name stands in a Windows path for the one file it names. Not so:
// "." and "..", a separator, a wildcard, a stream's colon, '<', '>', '"', '|' or a control
// character (a Unix-side name under Wine may hold any of them), a trailing dot or space (the path
// parser drops them), a device name such as NUL or COM1.txt, and U+FFFD, which stands in for a
// character the code page could not carry.
bool WindowsCanHoldName(std::string_view name);
