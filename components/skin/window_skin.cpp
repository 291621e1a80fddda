// Skinning library: reads a skin file (an INI text) and gives skinned windows its face colour.
// Exported by ordinal only (window_skin.def); the program's calls are fixed to those numbers.
#include <windows.h>

#include <string>

namespace {

struct SkinState {
    bool initialised = false;
    bool loaded = false;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    HBRUSH brush = nullptr;
    std::string dialogSkin;
};

SkinState& State() {
    static SkinState state;
    return state;
}

bool ReadColour(const char* file, const char* key, COLORREF& colour) {
    char text[64] = {};
    if (GetPrivateProfileStringA("Colours", key, "", text, sizeof(text), file) == 0) return false;
    unsigned r = 0, g = 0, b = 0;
    if (sscanf(text, "%u , %u , %u", &r, &g, &b) != 3 || r > 255 || g > 255 || b > 255) return false;
    colour = RGB(r, g, b);
    return true;
}

LRESULT CALLBACK SkinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropA(window, "WindowSkin.Proc"));
    if (!original) return DefWindowProcA(window, message, wParam, lParam);
    SkinState& state = State();
    if (message == WM_CTLCOLORDLG && state.brush) return reinterpret_cast<LRESULT>(state.brush);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(window, "WindowSkin.Proc");
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI SkinInitialise(HINSTANCE, const char*, int, int) {
    State().initialised = true;
    return TRUE;
}

void WINAPI SkinExit() {
    SkinState& state = State();
    if (state.brush) DeleteObject(state.brush);
    state = SkinState{};
}

BOOL WINAPI SkinLoadFile(const char* path) {
    SkinState& state = State();
    if (!state.initialised || !path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return FALSE;
    COLORREF face = state.face;
    if (!ReadColour(path, "Face", face)) return FALSE;
    state.face = face;
    if (state.brush) DeleteObject(state.brush);
    state.brush = CreateSolidBrush(face);
    state.loaded = true;
    return TRUE;
}

// Only the main frame is skinned; its own dialog background takes the skin's face colour.
BOOL WINAPI SkinWindow(HWND window, const char*) {
    SkinState& state = State();
    if (!state.loaded || !IsWindow(window) || GetPropA(window, "WindowSkin.Proc")) return FALSE;
    auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinnedProc)));
    SetPropA(window, "WindowSkin.Proc", reinterpret_cast<HANDLE>(original));
    return TRUE;
}

BOOL WINAPI SkinSetDialogSkin(const char* name) {
    State().dialogSkin = name ? name : "";
    return TRUE;
}

}  // extern "C"
