// The host's service functions in table order, each with whether the plug-in needs it
// to load: X(name, required). Names are looked up exactly as spelled, case included.
#pragma once

#define QUINDLE_BECKY_API(X)                                                              \
  X(BKA_GetVersion, 1) X(BKA_Command, 1) X(BKA_GetWindowHandles, 1)                        \
  X(BKA_RegisterCommand, 1) X(BKA_RegisterUICallback, 1) X(BKA_GetDataFolder, 1)           \
  X(BKA_GetTempFolder, 1) X(BKA_GetTempFileName, 1) X(BKA_GetCurrentMailBox, 1)            \
  X(BKA_SetCurrentMailBox, 1) X(BKA_GetCurrentFolder, 1) X(BKA_SetCurrentFolder, 1)        \
  X(BKA_GetFolderDisplayName, 1) X(BKA_SetMessageText, 1) X(BKA_GetCurrentMail, 1)         \
  X(BKA_SetCurrentMail, 1) X(BKA_GetNextMail, 1) X(BKA_SetSel, 1)                          \
  X(BKA_AppendMessage, 1) X(BKA_MoveSelectedMessages, 1) X(BKA_GetStatus, 1)               \
  X(BKA_SetStatus, 0) X(BKA_ComposeMail, 1) X(BKA_GetCharSet, 1) X(BKA_GetSource, 1)       \
  X(BKA_SetSource, 1) X(BKA_GetHeader, 1) X(BKA_GetText, 1) X(BKA_SetText, 1)              \
  X(BKA_GetSpecifiedHeader, 1) X(BKA_SetSpecifiedHeader, 1) X(BKA_CompGetCharSet, 1)       \
  X(BKA_CompGetSource, 1) X(BKA_CompSetSource, 1) X(BKA_CompGetHeader, 1)                  \
  X(BKA_CompGetSpecifiedHeader, 1) X(BKA_CompSetSpecifiedHeader, 1) X(BKA_CompGetText, 1)  \
  X(BKA_CompSetText, 1) X(BKA_CompAttachFile, 1) X(BKA_Alloc, 1) X(BKA_ReAlloc, 1)         \
  X(BKA_Free, 1) X(BKA_ISO_2022_JP, 1) X(BKA_ISO_2022_KR, 1) X(BKA_HZ_GB2312, 1)           \
  X(BKA_ISO_8859_2, 1) X(BKA_EUC_JP, 1) X(BKA_UTF_7, 1) X(BKA_UTF_8, 1)                    \
  X(BKA_B64Convert, 1) X(BKA_QPConvert, 1) X(BKA_MIMEHeader, 1) X(BKA_SerializeRcpts, 1)   \
  X(BKA_Connect, 1) X(BKA_NextUnread, 0)
