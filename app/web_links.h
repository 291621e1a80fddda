// The product's web pages, opened with the shell.
#pragma once

inline constexpr const char* kHelpPage = "https://tidyhold.org/help/";
inline constexpr const char* kHomePage = "https://tidyhold.org/";
inline constexpr const char* kSupportPage = "https://tidyhold.org/support/";

// Opens an address with the shell's "open" verb; a failure is silent.
void OpenWebPage(void* owner, const char* address);
