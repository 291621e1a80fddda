#include "scan/file_details.h"

#include <cstdio>

#include "base/program_paths.h"
#include "base/version_info.h"
#include "ui/language_table.h"

namespace {

constexpr const char* kSearchPage = "https://www.google.com/search?q=";

struct VersionName {
    const wchar_t* name;
    const char* displayKey;
};
constexpr VersionName kVersionNames[] = {
    {L"Comments", "_Comments"},           {L"InternalName", "_InternalName"},
    {L"ProductName", "_ProductName"},     {L"CompanyName", "_CompanyName"},
    {L"LegalCopyright", "_LegalCopyright"}, {L"ProductVersion", "_ProductVersion"},
    {L"FileDescription", "_FileDescription"}, {L"LegalTrademarks", "_LegalTrademarks"},
    {L"PrivateBuild", "_PrivateBuild"},   {L"FileVersion", "_FileVersion"},
    {L"OriginalFilename", "_OriginalFilename"}, {L"SpecialBuild", "_SpecialBuild"},
};

// Read through the wide functions, so that strings outside the code page's reach come through.
std::vector<VersionGroup> ReadVersionGroups(const std::string& path) {
    std::vector<char> bytes = ReadVersionBlock(path);
    VersionBlock block(bytes);
    std::vector<VersionGroup> groups;
    for (auto [language, codePage] : block.Translations()) {
        char code[32];
        std::snprintf(code, sizeof code, "0x%04X 0x%04X", language, codePage);
        bool listed = false;  // a translation named twice in the table shows once
        for (const VersionGroup& group : groups) listed = listed || group.code == code;
        if (listed) continue;
        VersionGroup group{code, {}};
        for (const VersionName& name : kVersionNames)
            group.rows[Language().Lookup(name.displayKey)] = FromWide(block.Text(language, codePage, name.name));
        groups.push_back(std::move(group));
    }
    return groups;
}

std::string Utf8Of(std::string_view text) {
    std::wstring wide = ToWide(text);
    if (wide.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

FileDetails GatherFileDetails(const std::string& path) {
    FileDetails details;
    std::wstring file = ExtendedPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    // A file another program holds open still has its attributes read: it is there.
    if (path.empty() || !GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        details.generalRows[""] = Language().Lookup("_FileIsNotExistInfo");
        return details;
    }
    details.found = true;
    details.versionGroups = ReadVersionGroups(path);
    details.generalRows[Language().Lookup("_CreationTime")] = LocalTimeText(data.ftCreationTime);
    details.generalRows[Language().Lookup("_LastAccessTime")] = LocalTimeText(data.ftLastAccessTime);
    details.generalRows[Language().Lookup("_LastWriteTime")] = LocalTimeText(data.ftLastWriteTime);
    details.generalRows[Language().Lookup("_FileSize")] =
        SizeText((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    return details;
}

std::vector<std::pair<std::string, std::string>> DetailRows(const FileDetails& details) {
    std::vector<std::pair<std::string, std::string>> rows;
    std::string languageCode = Language().Lookup("_LanguageCode");
    for (const VersionGroup& group : details.versionGroups) {
        rows.emplace_back(languageCode, group.code);
        rows.insert(rows.end(), group.rows.begin(), group.rows.end());
    }
    rows.insert(rows.end(), details.generalRows.begin(), details.generalRows.end());
    return rows;
}

std::string SizeText(std::uint64_t bytes) {
    char text[80];
    std::snprintf(text, sizeof text, "%.2lfMB(%.2lfKB)", static_cast<double>(bytes) / 1048576.0,
                  static_cast<double>(bytes) / 1024.0);
    return text;
}

std::string LocalTimeText(const FILETIME& time) {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&time, &utc)) return {};  // beyond what a calendar date can hold
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.wYear, local.wMonth, local.wDay,
                  local.wHour, local.wMinute, local.wSecond);
    return text;
}

std::string SearchTerm(std::string_view path, std::string_view searchText) {
    if (!searchText.empty()) return std::string(searchText);
    size_t cut = path.find_last_of("\\:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string PercentEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                          byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (unreserved) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string SearchAddress(std::string_view term) { return kSearchPage + PercentEncode(Utf8Of(term)); }

std::string ExplorerParameters(std::string_view path) { return "/select,\"" + std::string(path) + "\""; }
