// The new-mail notifier: reads the settings and opens the configured tray(s).
#pragma once

void NotifyNewMail();
