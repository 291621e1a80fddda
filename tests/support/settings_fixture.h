// A throwaway config.xml (a copy of the one that ships) and a hidden window to hold pages.
#pragma once
#include <windows.h>

#include <string>

#include "settings/config_document.h"
#include "tests/support/temp_folder.h"

class SettingsFixture {
public:
    SettingsFixture();
    ~SettingsFixture();
    SettingsFixture(const SettingsFixture&) = delete;
    SettingsFixture& operator=(const SettingsFixture&) = delete;

    HWND Host() const { return host; }
    const std::string& ConfigFile() const { return config; }
    std::string Attribute(const std::string& elementPath, const std::string& name) const;

    TempFolder folder;

private:
    std::string config;
    HWND host = nullptr;
};
