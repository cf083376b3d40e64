// Japanese texts the tests compare with, as code page 932 bytes (escaped so that no CP932 byte
// ever sits in this source file).
#pragma once

// "デフォルト" (default device) and "全て" (all drives): the two "Drive" keywords.
#define QT_DEFAULT "\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67"
#define QT_ALL "\x91\x53\x82\xC4"

// Description text before the home-page address:
// "メール着信お知らせプラグイン\n（要CD-ROMドライブ）\n\n".
#define QT_DESCRIPTION_HEAD                                                                    \
  "\x83\x81\x81\x5B\x83\x8B\x92\x85\x90\x4D\x82\xA8\x92\x6D\x82\xE7\x82\xB9\x83\x76\x83\x89" \
  "\x83\x4F\x83\x43\x83\x93\x0A\x81\x69\x97\x76\x43\x44\x2D\x52\x4F\x4D\x83\x68\x83\x89"     \
  "\x83\x43\x83\x75\x81\x6A\x0A\x0A"
