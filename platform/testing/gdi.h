// Test seams of the GDI stand-in. The game never calls these.
#ifndef QEL_PLATFORM_TESTING_GDI_H
#define QEL_PLATFORM_TESTING_GDI_H

#include <windows.h>

#include <string>

// The file of the face a font was opened from ("" for a handle that is not
// a font).
std::string TestGdiFontFile(HFONT font);
// Fonts, brushes and bitmaps not yet deleted (stock objects left out), and
// device contexts not yet deleted.
int TestGdiLiveObjects();
int TestGdiLiveDCs();

#endif
