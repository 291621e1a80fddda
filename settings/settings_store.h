// config.xml as the settings pages see it, section by section. The class keeps the name
// ConfigDocument by which the program knows that file; the XML itself is base/xml_document's,
// and the element paths are spelled here alone.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/xml_document.h"

// ProgramFolder + "\config.xml", unless tests or tools put it elsewhere.
std::string ConfigFilePath();
void SetConfigFilePath(std::string path);  // empty: back to the program folder

// Decimal integer text as flags, indices and the months box hold it; no number reads as 0.
int ParseLeadingInt(std::string_view text);

// One row of a list page: junk files keep (file, description), skip folders (folder).
struct ListRow {
    std::string text;
    std::string description;
    bool checked = false;
    bool operator==(const ListRow&) const = default;
};

enum class ListSection { JunkFiles, SkipFolders };

struct CleanOptions {
    bool recycle = false;  // else delete permanently
    bool backup = false;
    std::string backupDirectory;  // a real path: stored with folder macros, which the store expands
};

// Reads and writes one loaded document. Values of a document that did not load, or that is not
// ours (no /config/tidyhold), read as nothing (empty lists, flags off, empty texts), writes to it
// are dropped and it is never saved.
class ConfigDocument {
public:
    bool Open();
    bool Save() { return document.Save(); }

    // The user's list, or with useDefaults the factory one, in document order.
    std::vector<ListRow> ReadList(ListSection section, bool useDefaults) const;
    // Replaces the user's list; the factory list and the rest of the document stay.
    void RewriteList(ListSection section, const std::vector<ListRow>& rows);

    // A search option by its element name: its check box, or with useDefaults its factory value.
    bool ReadOption(std::string_view option, bool useDefaults) const;
    void WriteOption(std::string_view option, bool checked);
    // The months threshold as typed; stored as given, empty included.
    std::string ReadMonths(bool useDefaults) const;
    void WriteMonths(std::string_view months);

    CleanOptions ReadCleanOptions(bool useDefaults) const;
    void WriteCleanOptions(const CleanOptions& options);

private:
    bool ReadFlag(std::string_view path, std::string_view attribute) const;
    std::string ReadText(std::string_view path, std::string_view attribute) const;

    XmlDocument document;
};

// One use on its own: open the file, write, save (a page without the wizard's document, a tool).
// A missing, broken or foreign file is never written.
ConfigDocument OpenConfig();
template <class Write>
void UpdateConfig(Write write) {
    ConfigDocument config;
    if (!config.Open()) return;
    write(config);
    config.Save();
}

// What was stored at the last close (never the factory value), macros expanded; empty when
// anything is missing.
std::string ReadBackupDirectory();
