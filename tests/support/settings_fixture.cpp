#include "tests/support/settings_fixture.h"

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
    ConfigDocument document;
    document.Open();
    return document.GetAttribute(document.FindNode(elementPath), name).value_or("<missing>");
}
