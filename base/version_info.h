// Strings of a file's version resource. Every length the resource states is held to the buffer it
// was read into: a damaged or patched resource reads as having less, never past its end.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// The resource as GetFileVersionInfoW fills it; empty when the file has none.
std::vector<char> ReadVersionBlock(const std::string& file);

// A view of such a resource, its nodes checked once: when one does not lie within its parent, the
// view holds nothing. The bytes must outlive it.
class VersionBlock {
public:
    explicit VersionBlock(std::span<const char> bytes);
    // (language, code page) of each entry of the translation table, in its order.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> Translations() const;
    // A string of one translation, up to its first NUL; empty when absent.
    std::wstring Text(std::uint16_t language, std::uint16_t codePage, const wchar_t* name) const;

private:
    std::span<const char> Query(const wchar_t* subBlock, size_t unitBytes) const;

    std::span<const char> bytes;
};

// An absent resource or value gives an empty text. Read through the first translation.
std::string ReadVersionString(const std::string& file, const char* name);

// ProductName + " (" + ProductVersion + ")" of the program file: the wizard's title.
std::string ProductTitle();
