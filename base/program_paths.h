// Where the program lives: everything it keeps (config.xml, language and skin files) sits beside it.
#pragma once
#include <string>
#include <string_view>

std::string ProgramFilePath();
std::string ProgramFolder();
std::string ProgramBaseName();

// The same rules on any path, for the functions above and their tests.
// A root like C:\Tool.exe gives C: (the colon stays); a UNC share keeps no trailing backslash.
std::string FolderOfPath(std::string_view path);
// Tool.exe gives Tool, my.tool.exe gives my.tool, a name without a dot stays whole.
std::string BaseNameOfPath(std::string_view path);

// A path as the wide file functions take it past MAX_PATH: absolute, backslashes only, with the
// \\?\ prefix (\\?\UNC\ for a share). A relative path that cannot be made absolute stays as it is.
std::wstring ExtendedPath(std::string_view path);
// The path made full against the current folder, its . and .. steps resolved; as it is when the
// system cannot.
std::string FullPath(std::string_view path);
// A full path with a drive ("C:\") or a share ("\\server\share"), that no current folder completes.
bool IsAbsolutePath(std::string_view path);
