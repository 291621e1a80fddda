// config.xml beside the program: the settings of four pages and their factory values.
// Each use opens its own document, reads or writes, and lets it go; nothing stays open.
#pragma once
#include <msxml.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/com_ptr.h"

using XmlNode = ComPtr<IXMLDOMNode>;

// ProgramFolder + "\config.xml", unless tests or tools put it elsewhere.
std::string ConfigFilePath();
void SetConfigFilePath(std::string path);  // empty: back to the program folder

// One row of a list page: junk files keep (file, description), skip folders (folder).
struct ListRow {
    std::string text;
    std::string description;
    bool checked = false;
    bool operator==(const ListRow&) const = default;
};

class ConfigDocument {
public:
    // Loads the whole file; a missing, unreadable or broken file leaves the document not loaded,
    // and then every read yields nothing and Save writes nothing.
    bool Open();
    bool IsLoaded() const { return !path.empty(); }

    // Absolute element paths of plain child steps: "/config/tidyhold/options/FindTemp".
    XmlNode FindNode(std::string_view elementPath) const;
    std::vector<XmlNode> FindNodes(std::string_view elementPath) const;

    std::optional<std::string> GetAttribute(const XmlNode& node, std::string_view name) const;
    void SetAttribute(const XmlNode& node, std::string_view name, std::string_view value);
    void SetAttribute(const XmlNode& node, std::string_view name, int value);
    // A new "item" as the parent's last child, its attributes set in ascending name order.
    void AppendItem(const XmlNode& parent, const std::map<std::string, std::string>& attributes);
    void RemoveChild(const XmlNode& parent, const XmlNode& node);
    // Writes the document beside the file and then replaces the file whole, so an interrupted
    // save never leaves a cut-off config.xml. False when nothing was written.
    bool Save();

    // A flag: decimal integer text, any non-zero value on; nothing or no number reads as off.
    bool ReadFlag(std::string_view elementPath, std::string_view attribute) const;
    std::string ReadText(std::string_view elementPath, std::string_view attribute) const;

private:
    ComPtr<IXMLDOMDocument> document;
    std::string path;
};

// Rows of section "junkfiles" or "SkipFolders", the user's list or the factory one.
std::vector<ListRow> ReadList(std::string_view section, bool useDefaults);
// Replaces the user's list of the section and saves; the factory list and the rest stay.
void RewriteList(std::string_view section, const std::vector<ListRow>& rows);
// The stored backup directory with its folder macros expanded; empty when anything is missing.
std::string ReadBackupDirectory();

int ParseLeadingInt(std::string_view text);
