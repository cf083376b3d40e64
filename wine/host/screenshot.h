// Asks the launcher (on the Linux side) to photograph the X display while a window is up.
#pragma once

#include <windows.h>

// Writes "<left> <top> <width> <height>" to shot-request.txt in the screenshot folder and waits
// up to 90 s for shot-done.txt. True when the launcher answered.
bool TakeScreenshot(const RECT& window);
