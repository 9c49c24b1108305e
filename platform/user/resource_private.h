// Inside the stand-in: the module's resources, read from the bytes of the
// .res file that windres compiles from the resource script, and the parsed
// forms of the templates that the menu and dialog loops draw.
#ifndef QEL_PLATFORM_USER_RESOURCE_PRIVATE_H
#define QEL_PLATFORM_USER_RESOURCE_PRIVATE_H

#include <windows.h>

#include "../kernel/codepage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Makes the process's one module from a .res image (a copy is kept) and
// returns its handle, the same for every image; what was loaded from the
// image before (icons) is dropped. Null, and no module, when the bytes are
// not a well-formed .res.
HINSTANCE UserCreateModule(const void* resData, size_t size);

// The data of a resource and its size in bytes, or null. `type` and `name`
// are ordinals (MAKEINTRESOURCEA), the only names the game uses; the first
// entry in any language. Any instance is the module, the process's only one.
// The data lives as long as the module.
const void* UserFindResource(HINSTANCE instance, LPCSTR type, LPCSTR name,
                             DWORD* size);

// A command of a menu popup.
struct UserMenuItem {
    std::u16string text; // with its '&' mnemonic mark
    WORD id = 0;
};

// A popup of the menu bar and its commands.
struct UserMenuPopup {
    std::u16string text;
    std::vector<UserMenuItem> items;
};

struct UserMenu {
    std::vector<UserMenuPopup> popups;
};

// A standard MENU template (not MENUEX) of popups holding commands. False
// for a truncated or malformed one, and for a command on the bar itself or
// a popup inside a popup, which no menu of ours has.
bool UserParseMenu(const void* data, DWORD size, UserMenu& out);

// One control of a dialog template.
struct UserDialogItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    int id = 0;                         // signed: -1 for a static without id
    WORD classOrdinal = 0;              // 0x80 button, 0x82 static
    WORD textOrdinal = 0; // a resource ordinal (an SS_ICON's icon); 0 when
    std::u16string text;  // the text is a string
};

// A classic DLGTEMPLATE (not DLGTEMPLATEEX) of the dialog class, with no
// menu; its font, when it names one, is read past.
struct UserDialogTemplate {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    std::u16string caption;
    std::vector<UserDialogItem> items;
};

// False for a truncated or malformed template, and for one with a menu, a
// window class or a control of a named class; never reads past `size`.
bool UserParseDialog(const void* data, DWORD size, UserDialogTemplate& out);

// The image of `icon` that is `size` pixels square, as straight 0xAARRGGBB
// pixels, top row first; false when it has none.
bool UserIconImage(HICON icon, int size, std::vector<uint32_t>& argb,
                   int& width, int& height);

#endif
