#include "base/version_info.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "base/ansi.h"
#include "base/program_paths.h"

namespace {

std::uint16_t WordAt(const char* at) {
    std::uint16_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// VerQueryValueW walks the nodes (length, value length, type, key, value, children) by the lengths
// they state, and trusts them. So each node must lie within its parent and end its key inside
// itself, down to the strings, the deepest level a lookup reads.
bool NodeFits(const char* block, size_t start, size_t end, int depth) {
    if (end - start < 6) return false;
    size_t length = WordAt(block + start);
    if (length < 6 || length > end - start) return false;
    size_t nodeEnd = start + length;
    size_t keyEnd = start + 6;
    while (keyEnd + 2 <= nodeEnd && WordAt(block + keyEnd) != 0) keyEnd += 2;
    if (keyEnd + 2 > nodeEnd) return false;
    if (depth == 3) return true;
    size_t valueBytes = size_t{WordAt(block + start + 2)} * (WordAt(block + start + 4) != 0 ? 2 : 1);
    for (size_t child = start + Align4(keyEnd + 2 - start) + Align4(valueBytes); child < nodeEnd;
         child += Align4(WordAt(block + child)))
        if (!NodeFits(block, child, nodeEnd, depth + 1)) return false;
    return true;
}

// A 16-bit resource (8-bit key characters where the type word stands) is laid out otherwise: it is
// not read.
bool BlockFits(std::span<const char> bytes) {
    return !bytes.empty() && NodeFits(bytes.data(), 0, bytes.size(), 0) && static_cast<unsigned char>(bytes[4]) < ' ';
}

}  // namespace

std::vector<char> ReadVersionBlock(const std::string& file) {
    std::wstring path = ExtendedPath(file);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    return block;
}

VersionBlock::VersionBlock(std::span<const char> bytes)
    : bytes(BlockFits(bytes) ? bytes : std::span<const char>()) {}

// The value at subBlock, cut at the end of the bytes: the length it states (in units of unitBytes)
// may reach past them.
std::span<const char> VersionBlock::Query(const wchar_t* subBlock, size_t unitBytes) const {
    void* value = nullptr;
    UINT length = 0;
    if (bytes.empty() || !VerQueryValueW(bytes.data(), subBlock, &value, &length) || !value) return {};
    auto at = reinterpret_cast<std::uintptr_t>(value), begin = reinterpret_cast<std::uintptr_t>(bytes.data());
    if (at < begin || at > begin + bytes.size()) return {};
    return {static_cast<const char*>(value), std::min<size_t>(size_t{length} * unitBytes, begin + bytes.size() - at)};
}

std::vector<std::pair<std::uint16_t, std::uint16_t>> VersionBlock::Translations() const {
    std::span<const char> table = Query(L"\\VarFileInfo\\Translation", 1);
    std::vector<std::pair<std::uint16_t, std::uint16_t>> entries;
    for (size_t at = 0; at + 4 <= table.size(); at += 4)
        entries.emplace_back(WordAt(table.data() + at), WordAt(table.data() + at + 2));
    return entries;
}

std::wstring VersionBlock::Text(std::uint16_t language, std::uint16_t codePage, const wchar_t* name) const {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"%04x%04x", language, codePage);
    std::wstring query = L"\\StringFileInfo\\" + std::wstring(code) + L"\\" + name;
    std::span<const char> text = Query(query.c_str(), sizeof(wchar_t));
    if (text.empty()) return {};
    std::wstring value(text.size() / sizeof(wchar_t), L'\0');
    std::memcpy(value.data(), text.data(), value.size() * sizeof(wchar_t));
    return value.substr(0, value.find(L'\0'));  // the length may or may not count the terminator
}

std::string ReadVersionString(const std::string& file, const char* name) {
    std::vector<char> bytes = ReadVersionBlock(file);
    VersionBlock block(bytes);
    auto translations = block.Translations();
    if (translations.empty()) return {};
    return FromWide(block.Text(translations[0].first, translations[0].second, ToWide(name).c_str()));
}

std::string ProductTitle() {
    std::string program = ProgramFilePath();
    return ReadVersionString(program, "ProductName") + " (" + ReadVersionString(program, "ProductVersion") + ")";
}
