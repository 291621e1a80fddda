// Small reads of the current user's registry.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A value's text of at most 255 bytes; empty when the key or value cannot be read or is longer.
std::string ReadValueText(HKEY root, const std::string& key, const std::string& valueName);
// The key's value names in enumeration order; a missing key is created, empty.
std::vector<std::string> ReadValueNames(HKEY root, const std::string& key);
