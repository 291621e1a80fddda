#include "app/web_links.h"

#include <windows.h>
#include <shellapi.h>

void OpenWebPage(void* owner, const char* address) {
    ShellExecuteA(static_cast<HWND>(owner), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
