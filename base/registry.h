// Small reads of the current user's registry.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A text value (REG_SZ or REG_EXPAND_SZ, not expanded) whole, up to its first NUL; empty when the
// key or value cannot be read or holds another type.
std::string ReadValueText(HKEY root, const std::string& key, const std::string& valueName);
// The key's value names in enumeration order, whatever their length; a missing key has none and is
// not created. A name that does not come through the code page exactly, or holds a NUL, is left
// out: read or deleted by that text, it would be another value.
std::vector<std::string> ReadValueNames(HKEY root, const std::string& key);
