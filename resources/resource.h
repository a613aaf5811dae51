// Names and numbers of the resources in quennet.rc, shared by the .rc and the C++ code.
// Named resources are looked up by their string names (which compare without regard to
// case); only the hover sounds and the manifest have numbers.
#pragma once

// Type "WAVE", integer identifiers: the gradient button's hover sounds.
#define QUENNET_WAVE_PISTOL 1
#define QUENNET_WAVE_GAME 2
#define QUENNET_WAVE_FIRE 3
#define QUENNET_WAVE_HEALTH 4

// The application manifest (CREATEPROCESS_MANIFEST_RESOURCE_ID).
#define QUENNET_MANIFEST_ID 1

/* Bitmaps, by name (RT_BITMAP):
     BLANK ENABLED BLANKFLAT ENABLEDFLAT     check box boxes, 16 x 16
     CHECKIKS CHECKOK CHECKELLI CHECKEIKSB
     CHECKIKSG CHECKOKG CHECKOKR             check box marks, 16 x 16
       (magenta is transparent; it is also each picture's bottom-left pixel)
     SPINUP SPINDOWN                         spin arrows, 9 x 6, olive RGB(128,128,0) transparent
     BOOKMARKICONS                           200 x 10: glyph n = bookmark n in the hex field,
                                             glyph 10 + n = bookmark n in the character field;
                                             magenta transparent
     LOOKIN                                  112 x 16: the seven look-in images side by side
                                             (hard disk, CD-ROM, floppy, plain drive, network,
                                             hand-held, closed folder); magenta transparent
     DOCUMENT                                16 x 16 results-list document icon; magenta transparent
   Cursor HANDD: the check box's hand cursor.
   Sound "WAV" KLIK: the check box's click. */
#define QUENNET_TRANSPARENT_RGB 0xFF00FF /* magenta, COLORREF layout */
