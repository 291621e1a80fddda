// A fresh folder under the temporary path, removed with everything in it when the test ends.
#pragma once
#include <string>
#include <string_view>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string operator/(std::string_view name) const { return path + "\\" + std::string(name); }

private:
    std::string path;
};

// A folder inside `folder` whose path is at least `length` characters long, made step by step.
std::string MakeLongFolder(const TempFolder& folder, size_t length);

// These three take paths of any length.
void WriteFile(const std::string& path, std::string_view content);
std::string ReadFile(const std::string& path);
// A file or folder at path (a name whose attributes can be read).
bool Exists(const std::string& path);
bool CopyFileTo(const std::string& from, const std::string& to);

// A path of the build machine (/home/...) as Wine sees it (Z:\home\...); Windows paths unchanged.
std::string HostPath(std::string_view path);
