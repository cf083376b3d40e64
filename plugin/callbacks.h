// The callbacks the host calls, exported undecorated at fixed ordinals (quindle.def).
#pragma once

#include "base/platform.h"

extern "C" {
int WINAPI BKC_OnStart();
int WINAPI BKC_OnExit();
int WINAPI BKC_OnMenuInit(HWND window, LPVOID menu, int kind);
int WINAPI BKC_OnOpenFolder(LPCSTR folder);
int WINAPI BKC_OnOpenMail(LPCSTR mail);
int WINAPI BKC_OnEveryMinute();
int WINAPI BKC_OnOpenCompose(HWND window, int mode);
int WINAPI BKC_OnOutgoing(HWND window, int mode);
int WINAPI BKC_OnKeyDispatch(HWND window, int key, int shift);
int WINAPI BKC_OnRetrieve(LPCSTR mail, LPCSTR mailId);
int WINAPI BKC_OnSend(LPCSTR mail);
int WINAPI BKC_OnFinishRetrieve(int count);
int WINAPI BKC_OnPlugInSetup(HWND parent);
int WINAPI BKC_OnPlugInInfo(LPVOID info);
int WINAPI BKC_OnDragDrop(LPCSTR target, LPCSTR source, int count, int effect);
}
