// The factory junk-file masks in config.xml carry language keys for descriptions, so each user
// reads them in the language of the day. Any other description is the user's text, kept as written.
#pragma once
#include <string>
#include <string_view>

// The place of a factory key plus one, 0 for any other text: kept with the row while it is shown.
int FactoryDescription(std::string_view stored);
// A factory key's text, or the description as stored.
std::string ShownDescription(std::string_view stored);
// What a row loaded as `factory` stores: its key while it shows the key's text, else the text.
std::string StoredDescription(int factory, std::string shown);
