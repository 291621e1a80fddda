// A throwaway config.xml (a copy of the one that ships) and a hidden window to hold pages.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

// The options page's eleven boxes, each with the element under "options" that stores it, which is
// also the name of the scan setting it gives.
struct OptionBox {
    int id;
    const char* name;
};
extern const OptionBox kOptionBoxes[11];

class SettingsFixture {
public:
    SettingsFixture();
    ~SettingsFixture();
    SettingsFixture(const SettingsFixture&) = delete;
    SettingsFixture& operator=(const SettingsFixture&) = delete;

    HWND Host() const { return host; }
    const std::string& ConfigFile() const { return config; }
    std::string Attribute(const std::string& elementPath, const std::string& name) const;
    std::vector<ListRow> StoredList(ListSection section, bool useDefaults = false) const;

    TempFolder folder;

private:
    std::string config;
    HWND host = nullptr;
};

// Points the language table at another file; the previous one comes back when this goes.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const std::string& file);
    // A file of the test's own in `folder`, with these lines of the [String] section.
    ScopedLanguage(const TempFolder& folder, const std::string& texts);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    std::string saved;
};

// The language file that ships with the program.
std::string ShippedLanguageFile();
