// user32: the menu and dialog templates of the module, parsed for the menu
// bar's loop and the dialog box. Only the forms windres writes for the
// resource script are read; any other is refused rather than guessed at.
#include <windows.h>

#include "res_reader_private.h"
#include "resource_private.h"

bool UserParseMenu(const void* data, DWORD size, UserMenu& out) {
    out = UserMenu();
    ResReader r(data, size);
    if (r.Dword() != 0) return false; // version 0 and no header: not MENUEX
    for (bool lastPopup = false; r.ok && !lastPopup;) {
        UserMenuPopup popup;
        WORD flags = r.Word();
        popup.text = r.String();
        lastPopup = flags & MF_END;
        if (!(flags & MF_POPUP)) r.ok = false;
        for (bool lastItem = false; r.ok && !lastItem;) {
            UserMenuItem item;
            WORD itemFlags = r.Word();
            item.id = r.Word();
            item.text = r.String();
            lastItem = itemFlags & MF_END;
            if (itemFlags & MF_POPUP) r.ok = false;
            popup.items.push_back(item);
        }
        out.popups.push_back(popup);
    }
    return r.ok;
}

bool UserParseDialog(const void* data, DWORD size, UserDialogTemplate& out) {
    out = UserDialogTemplate();
    ResReader r(data, size);
    UserDialogTemplate& t = out;
    t.style = r.Dword();
    if ((t.style >> 16) == 0xFFFF) return false; // DLGTEMPLATEEX
    r.Dword();                                   // extended style
    WORD count = r.Word();
    t.x = (short)r.Word();
    t.y = (short)r.Word();
    t.cx = (short)r.Word();
    t.cy = (short)r.Word();
    if (r.Word() != 0 || r.Word() != 0) r.ok = false; // a menu, a class
    t.caption = r.String();
    if (t.style & DS_SETFONT) {
        r.Word(); // point size and face: the dialog takes its owner's font
        r.String();
    }
    for (WORD i = 0; i < count && r.ok; ++i) {
        UserDialogItem item;
        r.Align();
        item.style = r.Dword();
        r.Dword(); // extended style
        item.x = (short)r.Word();
        item.y = (short)r.Word();
        item.cx = (short)r.Word();
        item.cy = (short)r.Word();
        item.id = (short)r.Word();
        if (r.Word() != 0xFFFF) r.ok = false; // a class by name
        item.classOrdinal = r.Word();
        if (r.Has(2) && r.data[r.pos] == 0xFF && r.data[r.pos + 1] == 0xFF) {
            r.Skip(2);
            item.textOrdinal = r.Word();
        } else {
            item.text = r.String();
        }
        r.Skip(r.Word()); // creation data, which no control of ours takes
        t.items.push_back(item);
    }
    return r.ok;
}
