// Drives a modal dialog from inside its own message loop: each timer tick runs the next step
// on the dialog that is enabled at that moment (a nested dialog while one is open).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

using DialogStep = std::function<void(HWND dialog)>;

// Runs open() (which shows a modal dialog and returns its result) while the steps run one
// per tick. A dialog still open some time after the last step is ended with -99.
INT_PTR RunModal(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps);

// The enabled, visible dialog window of this thread; null when none.
HWND ActiveDialog();

// Clicks a button the way the user does: BM_CLICK (check boxes toggle, WM_COMMAND is sent).
void Click(HWND dialog, int id);
std::string ItemText(HWND dialog, int id);
// Text of a list-box item.
std::string ListBoxText(HWND dialog, int id, int index);

}  // namespace testing_support
