// The recording MCI driver's log as the test host sees it.
#pragma once

#include <string>

void InitMciLog();   // tells the driver (same process) where to log
void ClearMciLog();
// The logged lines, each followed by '|'.
std::string ReadMciLog();
