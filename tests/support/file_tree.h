// Building throwaway file trees for scanner tests: files, attributes, times and shortcuts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, std::uint64_t size = 0);
void SetLastAccess(const std::string& path, int daysAgo, int extraHours = 0);
// A shortcut made through the shell link object; an empty target makes one that points nowhere.
bool MakeShortcut(const std::string& shortcut, const std::string& target);
