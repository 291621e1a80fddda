#include "app/web_links.h"

#include <windows.h>

#include "ui/hyperlink_field.h"

void OpenWebPage(void* owner, const char* address) { ShellOpenHandler()(static_cast<HWND>(owner), address); }
