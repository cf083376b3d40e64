// The host's callbacks. Only three do anything: the new-mail notification, the
// setup dialog and the identity record; the others answer 0 and ignore their arguments.
#include "plugin/callbacks.h"

#include "notify/notifier.h"
#include "plugin/exception_barrier.h"
#include "ui/option_dialog.h"

int WINAPI BKC_OnStart() { return 0; }
int WINAPI BKC_OnExit() { return 0; }
int WINAPI BKC_OnMenuInit(HWND, LPVOID, int) { return 0; }
int WINAPI BKC_OnOpenFolder(LPCSTR) { return 0; }
int WINAPI BKC_OnOpenMail(LPCSTR) { return 0; }
int WINAPI BKC_OnEveryMinute() { return 0; }
int WINAPI BKC_OnOpenCompose(HWND, int) { return 0; }
int WINAPI BKC_OnOutgoing(HWND, int) { return 0; }
int WINAPI BKC_OnKeyDispatch(HWND, int, int) { return 0; }
int WINAPI BKC_OnRetrieve(LPCSTR, LPCSTR) { return 0; }
int WINAPI BKC_OnSend(LPCSTR) { return 0; }
int WINAPI BKC_OnDragDrop(LPCSTR, LPCSTR, int, int) { return 0; }

int WINAPI BKC_OnFinishRetrieve(int count) {
  return Guarded(0, [count] {
    if (count > 0) NotifyNewMail();
    return 0;
  });
}

int WINAPI BKC_OnPlugInSetup(HWND parent) {
  return Guarded(1, [parent] {
    ShowOptionDialog(parent);
    return 1;
  });
}
