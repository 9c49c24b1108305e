// The two text fonts, created at the end of the display set-up.
#ifndef QEL_DISPLAY_FONTS_H
#define QEL_DISPLAY_FONTS_H

// Creates hLetterFont ("Arial", 60) then hHudFont ("宋体", 20) from one
// zeroed LOGFONTA. The results are not tested.
void CreateTextFonts();

#endif
