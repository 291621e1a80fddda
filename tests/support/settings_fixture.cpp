#include "tests/support/settings_fixture.h"

#include "res/resource.h"
#include "ui/language_table.h"

const OptionBox kOptionBoxes[11] = {
    {IDC_OPT_NOT_ACCESSED, "FindFilesHaveNotAccessed"}, {IDC_OPT_SKIP_READ_ONLY, "SkipReadOnlyFiles"},
    {IDC_OPT_SKIP_SYSTEM, "SkipSystemFiles"},           {IDC_OPT_SKIP_HIDDEN, "SkipHiddenFiles"},
    {IDC_OPT_ZERO_LENGTH, "FindZeroLengthFiles"},       {IDC_OPT_INVALID_SHORTCUT, "FindInvalidShortcuts"},
    {IDC_OPT_FIND_TEMP, "FindTemp"},                    {IDC_OPT_FIND_IE_TEMP, "FindIETemp"},
    {IDC_OPT_FIND_RECENT, "FindRecent"},                {IDC_OPT_FIND_IE_HISTORY, "FindIEHistory"},
    {IDC_OPT_FIND_IE_COOKIES, "FindIECookies"},
};

SettingsFixture::SettingsFixture() : config(folder / "config.xml") {
    CopyFileTo(HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/config.xml"), config);
    SetConfigFilePath(config);
    host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
}

SettingsFixture::~SettingsFixture() {
    DestroyWindow(host);
    SetConfigFilePath("");
}

std::string SettingsFixture::Attribute(const std::string& elementPath, const std::string& name) const {
    XmlDocument document;
    document.Load(config);
    return document.GetAttribute(document.FindNode(elementPath), name).value_or("<missing>");
}

std::vector<ListRow> SettingsFixture::StoredList(ListSection section, bool useDefaults) const {
    return OpenConfig().ReadList(section, useDefaults);
}

ScopedLanguage::ScopedLanguage(const std::string& file) : saved(Language().File()) { Language().SetFile(file); }

ScopedLanguage::ScopedLanguage(const TempFolder& folder, const std::string& texts) : saved(Language().File()) {
    WriteFile(folder / "test.language", "[String]\r\n" + texts);
    Language().SetFile(folder / "test.language");
}

ScopedLanguage::~ScopedLanguage() { Language().SetFile(saved); }

std::string ShippedLanguageFile() { return HostPath(std::string(TIDYHOLD_SOURCE_DIR) + "/res/Tidyhold.language"); }
