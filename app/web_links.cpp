#include "app/web_links.h"

#include <windows.h>

#include "ui/shell_open.h"

void OpenWebPage(void* owner, const char* address) { ShellOpen(static_cast<HWND>(owner), address); }
