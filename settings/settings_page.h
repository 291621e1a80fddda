// A wizard page that keeps one section of config.xml.
#pragma once
#include "settings/settings_store.h"
#include "ui/wizard_page.h"

// The wizard loads config.xml once, hands every settings page that document before creating it,
// and saves it once after the last page has written its section. A page given none (alone, as in
// tests) reads the file as it is whenever it loads, and writes it back as it closes.
class SettingsPage : public WizardPage {
public:
    void UseConfig(ConfigDocument* shared) { config = shared; }

protected:
    using WizardPage::WizardPage;

    const ConfigDocument& Config() {
        if (config) return *config;
        own.Open();
        return own;
    }
    template <class Write>
    void StoreConfig(Write write) {
        if (config) write(*config);
        else UpdateConfig(write);
    }

private:
    ConfigDocument* config = nullptr;
    ConfigDocument own;
};
