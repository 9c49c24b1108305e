// Inside the stand-in: the module's resources, read from the bytes of the
// .res file that windres compiles from the resource script, and the parsed
// forms of the templates that the menu and dialog loops draw.
#ifndef QEL_PLATFORM_USER_RESOURCE_INTERNAL_H
#define QEL_PLATFORM_USER_RESOURCE_INTERNAL_H

#include <windows.h>

#include "../kernel/codepage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Makes the process's one module from a .res image (a copy is kept) and
// returns its handle, which GetModuleHandleA(nullptr) gives from then on.
// The handle is the same for every image; what was loaded from the image
// before (resource data, icons, accelerator tables) is dropped. Null, and
// no module, when the bytes are not a well-formed .res.
HINSTANCE UserCreateModule(const void* resData, size_t size);

// The data of a resource and its size in bytes, or null. `type` and `name`
// are ordinals (MAKEINTRESOURCEA) or names ("#12" is ordinal 12); any
// language, preferring Chinese (PRC), 0x0804. A null instance is the
// module. The data lives as long as the module.
const void* UserFindResource(HINSTANCE instance, LPCSTR type, LPCSTR name,
                             DWORD* size);

// A command of a menu popup, or a separator (id 0, empty text).
struct UserMenuItem {
    std::u16string text; // with its '&' mnemonic marks
    WORD id = 0;
    WORD flags = 0; // MF_GRAYED, MF_CHECKED ... as written (MF_END removed)
};

// An entry of the menu bar: a popup with its items, or (without MF_POPUP in
// `flags`) a command standing on the bar itself.
struct UserMenuPopup {
    std::u16string text;
    WORD id = 0; // a command on the bar; 0 for a popup
    WORD flags = 0;
    std::vector<UserMenuItem> items;
};

struct UserMenu {
    std::vector<UserMenuPopup> popups;
};

// A standard MENU template (not MENUEX). False for a truncated or malformed
// one, and for a popup inside a popup, which no menu of ours has.
bool UserParseMenu(const void* data, DWORD size, UserMenu& out);

// One control of a dialog template.
struct UserDialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    int id = 0;                         // signed: -1 for a static without id
    WORD classOrdinal = 0; // 0x80 button, 0x82 static ...; 0 when named
    std::u16string className;
    WORD textOrdinal = 0; // a resource ordinal (an SS_ICON's icon); 0 when
    std::u16string text;  // the text is a string
};

// A classic DLGTEMPLATE (not DLGTEMPLATEEX).
struct UserDialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    WORD menuOrdinal = 0;               // the menu, when the template has one
    std::u16string menuName;
    WORD classOrdinal = 0; // the window class; none for the dialog class
    std::u16string className;
    std::u16string caption;
    WORD pointSize = 0; // with DS_SETFONT only
    std::u16string faceName;
    std::vector<UserDialogItem> items;
};

// False for a truncated or malformed template; never reads past `size`.
bool UserParseDialog(const void* data, DWORD size, UserDialogTemplate& out);

// The image of `icon` best suited to `wantedSize` pixels (that size at the
// greatest depth, else the nearest larger, else the largest), as straight
// 0xAARRGGBB pixels, top row first.
bool UserIconImage(HICON icon, int wantedSize, std::vector<uint32_t>& argb,
                   int& width, int& height);

// One ACCELTABLEENTRY: FVIRTKEY, FSHIFT, FCONTROL, FALT in `flags` (0x80
// marks the table's last entry), a character or virtual key, the command.
struct UserAccelEntry {
    WORD flags = 0;
    WORD key = 0;
    WORD command = 0;
};

bool UserAcceleratorEntries(HACCEL table, std::vector<UserAccelEntry>& out);

#endif
