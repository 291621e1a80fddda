// Process start and end: single instance, COM, skin, language file, parser check, the wizard.
#pragma once
#include <windows.h>

#include "base/win_handles.h"

// Holds the per-logon instance mutex; a second instance finds it already there.
class InstanceGuard {
public:
    InstanceGuard();
    bool AnotherInstanceRuns() const { return alreadyExists; }

private:
    UniqueHandle mutex;
    bool alreadyExists = false;
};

// Messages after which the loop's idle pass is wanted again.
bool RestartsIdle(UINT message);

// One message of the loop: the wizard's keyboard navigation first (Tab, Enter, Escape, F1,
// Alt+letter, also inside its pages), then translation and dispatch for everything it leaves.
void StepMessage(HWND wizard, MSG& message);
// Whether a title of the menu bar underlines key (letter case aside).
bool MenuHasAccessKey(HMENU menu, wchar_t key);

// Creates the wizard, runs the message loop and returns the quit request's value (0 when the
// wizard cannot be created).
int RunWizard(int showCommand);

int RunProgram(HINSTANCE instance, int showCommand);
