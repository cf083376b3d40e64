// Fixed Japanese texts the plug-in handles itself, as code page 932 bytes.
// Written as escapes on purpose: a CP932 source file would be misread by the
// tools wherever a trail byte is 0x5C.
#pragma once

// "デフォルト": the "Drive" keyword for the default CD audio device.
#define QUINDLE_TEXT_DEFAULT "\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67"
// "全て": the "Drive" keyword for every CD-ROM drive.
#define QUINDLE_TEXT_ALL "\x91\x53\x82\xC4"
// "メール着信お知らせプラグイン\n（要CD-ROMドライブ）\n\n": start of the description.
#define QUINDLE_TEXT_DESCRIPTION                                                     \
  "\x83\x81\x81\x5B\x83\x8B\x92\x85\x90\x4D\x82\xA8\x92\x6D\x82\xE7\x82\xB9\x83\x76" \
  "\x83\x89\x83\x4F\x83\x43\x83\x93\n"                                               \
  "\x81\x69\x97\x76" "CD-ROM" "\x83\x68\x83\x89\x83\x43\x83\x75\x81\x6A\n\n"

inline constexpr char kDriveDefault[] = QUINDLE_TEXT_DEFAULT;
inline constexpr char kDriveAll[] = QUINDLE_TEXT_ALL;
