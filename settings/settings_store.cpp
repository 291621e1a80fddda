#include "settings/settings_store.h"

#include <climits>
#include <cstdlib>
#include <map>

#include "base/program_paths.h"
#include "settings/path_macros.h"

namespace {

constexpr std::string_view kRoot = "/config/tidyhold/";
constexpr std::string_view kMonthsOption = "FindFilesHaveNotAccessed";

std::string Path(std::string_view section, std::string_view rest = {}) {
    std::string path(kRoot);
    path += section;
    if (!rest.empty()) (path += '/') += rest;
    return path;
}

struct ListShape {
    const char* section;
    const char* textAttribute;
    bool hasDescription;
};

ListShape ShapeOf(ListSection section) {
    return section == ListSection::JunkFiles ? ListShape{"junkfiles", "file", true}
                                             : ListShape{"SkipFolders", "folder", false};
}

std::string& ConfigPathOverride() {
    static std::string path;
    return path;
}

}  // namespace

std::string ConfigFilePath() {
    const std::string& override = ConfigPathOverride();
    return override.empty() ? ProgramFolder() + "\\config.xml" : override;
}

void SetConfigFilePath(std::string path) { ConfigPathOverride() = std::move(path); }

int ParseLeadingInt(std::string_view text) {
    std::string copy(text);
    long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ConfigDocument::Open() {
    if (!document.Load(ConfigFilePath())) return false;
    if (document.FindNode("/config/tidyhold")) return true;
    document = XmlDocument();  // another program's config.xml: read as missing, never written over
    return false;
}

bool ConfigDocument::ReadFlag(std::string_view path, std::string_view attribute) const {
    std::optional<std::string> text = document.GetAttribute(document.FindNode(path), attribute);
    return text && ParseLeadingInt(*text) != 0;
}

std::string ConfigDocument::ReadText(std::string_view path, std::string_view attribute) const {
    return document.GetAttribute(document.FindNode(path), attribute).value_or("");
}

std::vector<ListRow> ConfigDocument::ReadList(ListSection section, bool useDefaults) const {
    ListShape shape = ShapeOf(section);
    std::vector<ListRow> rows;
    for (const XmlNode& item : document.FindNodes(Path(shape.section, useDefaults ? "default/item" : "items/item"))) {
        ListRow row;
        row.text = document.GetAttribute(item, shape.textAttribute).value_or("");
        if (shape.hasDescription) row.description = document.GetAttribute(item, "description").value_or("");
        row.checked = ParseLeadingInt(document.GetAttribute(item, "checked").value_or("0")) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

void ConfigDocument::RewriteList(ListSection section, const std::vector<ListRow>& rows) {
    ListShape shape = ShapeOf(section);
    std::string items = Path(shape.section, "items");
    XmlNode parent = document.FindNode(items);
    if (!parent) return;
    // Only the item elements go; comments and anything else under items stay in place.
    for (const XmlNode& item : document.FindNodes(items + "/item")) document.RemoveChild(parent, item);
    for (const ListRow& row : rows) {
        std::map<std::string, std::string> attributes{{"checked", row.checked ? "1" : "0"},
                                                      {shape.textAttribute, row.text}};
        if (shape.hasDescription) attributes["description"] = row.description;
        document.AppendElement(parent, "item", attributes);
    }
}

bool ConfigDocument::ReadOption(std::string_view option, bool useDefaults) const {
    return ReadFlag(Path("options", option), useDefaults ? "default" : "checked");
}

void ConfigDocument::WriteOption(std::string_view option, bool checked) {
    document.SetAttribute(document.FindNode(Path("options", option)), "checked", checked ? "1" : "0");
}

std::string ConfigDocument::ReadMonths(bool useDefaults) const {
    return ReadText(Path("options", kMonthsOption), useDefaults ? "monthdefault" : "month");
}

void ConfigDocument::WriteMonths(std::string_view months) {
    document.SetAttribute(document.FindNode(Path("options", kMonthsOption)), "month", months);
}

CleanOptions ConfigDocument::ReadCleanOptions(bool useDefaults) const {
    CleanOptions options;
    options.recycle = ReadFlag(Path("CleanOptions", "CleanMode"), useDefaults ? "defaultindex" : "index");
    std::string backup = Path("CleanOptions", "Backup");
    options.backup = ReadFlag(backup, useDefaults ? "default" : "checked");
    options.backupDirectory =
        PathMacros::Expand(ReadText(backup, useDefaults ? "DefaultBackupDirectory" : "BackupDirectory"));
    return options;
}

void ConfigDocument::WriteCleanOptions(const CleanOptions& options) {
    document.SetAttribute(document.FindNode(Path("CleanOptions", "CleanMode")), "index", options.recycle ? "1" : "0");
    XmlNode backup = document.FindNode(Path("CleanOptions", "Backup"));
    document.SetAttribute(backup, "checked", options.backup ? "1" : "0");
    // Stored even when no backup is asked for, so the folder is still there when it is.
    document.SetAttribute(backup, "BackupDirectory", PathMacros::Collapse(options.backupDirectory));
}

ConfigDocument OpenConfig() {
    ConfigDocument config;
    config.Open();
    return config;
}

std::string ReadBackupDirectory() { return OpenConfig().ReadCleanOptions(false).backupDirectory; }
