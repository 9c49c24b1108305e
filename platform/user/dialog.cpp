// user32: modal dialog boxes from dialog templates, drawn over the owner's
// screen. Enter and a click of the default button give its id, Escape and
// the close request IDCANCEL, as the dialog manager does.
#include <windows.h>

#include "paint.h"
#include "resource_private.h"
#include "user_private.h"
#include "../trace/trace.h"

// Tests feed the modal loops from here.
void (*userModalIdle)() = nullptr;

namespace {

const int kBorder = 2;

struct Layout {
    int baseX = 8, baseY = 16; // dialog base units, from the dialog font
    int left = 0, top = 0;     // client area origin on the screen
    int X(int du) const { return du * baseX / 4; }
    int Y(int du) const { return du * baseY / 8; }
};

std::string Ansi(const std::u16string& text) {
    return WideToAnsi(text.data(), text.size());
}

void Draw(HWND dialog, const UserDialogTemplate& tmpl, const Layout& at,
          HICON icon, int focus) {
    UserCanvas canvas(dialog->owner);
    int left = at.left - kBorder;
    int top = at.top - kUiCaptionHeight;
    int right = at.left + at.X(tmpl.cx) + kBorder;
    int bottom = at.top + at.Y(tmpl.cy) + kBorder;
    canvas.Fill(left, top, right, bottom, kUiFace);
    canvas.Frame(left, top, right, bottom, kUiEdge);
    canvas.Fill(left + 1, top + 1, right - 1, at.top, kUiCaption);
    canvas.Label(left + 10, top + 5, Ansi(tmpl.caption), kUiWhite, true);
    if (tmpl.style & WS_SYSMENU) {
        // The caption's close box.
        int size = kUiCaptionHeight - 8;
        int boxLeft = right - 5 - size;
        canvas.Fill(boxLeft, top + 4, boxLeft + size, top + 4 + size, kUiClose);
        SIZE cross = canvas.Measure("x", true);
        canvas.Label(boxLeft + (size - cross.cx) / 2,
                     top + 4 + (size - cross.cy) / 2, "x", kUiWhite, true);
    }
    for (size_t i = 0; i < tmpl.items.size(); ++i) {
        const UserDialogItem& item = tmpl.items[i];
        int x = at.left + at.X(item.x), y = at.top + at.Y(item.y);
        int w = at.X(item.cx), h = at.Y(item.cy);
        if (!(item.style & WS_VISIBLE)) continue;
        if (item.classOrdinal == 0x82 && (item.style & 0x1F) == SS_ICON) {
            if (icon)
                DrawIconEx(canvas.dc, x, y, icon, 32, 32, 0, nullptr,
                           DI_NORMAL);
        } else if (item.classOrdinal == 0x82) {
            std::string text = Ansi(item.text);
            if (item.style & SS_NOPREFIX) text = UserLiteralLabel(text);
            canvas.Label(x, y, text, kUiBlack);
        } else if (item.classOrdinal == 0x80) {
            bool isDefault = (item.style & 0x0F) == BS_DEFPUSHBUTTON;
            canvas.Fill(x, y, x + w, y + h, kUiButton);
            canvas.Frame(x, y, x + w, y + h,
                         isDefault ? kUiHighlight : kUiEdge);
            if (isDefault)
                canvas.Frame(x + 1, y + 1, x + w - 1, y + h - 1, kUiHighlight);
            std::string text = Ansi(item.text);
            SIZE size = canvas.Measure(UserStripMnemonic(text, nullptr));
            canvas.Label(x + (w - size.cx) / 2, y + (h - size.cy) / 2, text,
                         kUiBlack);
            if ((int)i == focus)
                canvas.FocusRect(x + 3, y + 3, x + w - 3, y + h - 3);
        }
    }
    UserShowPixels(dialog->owner, canvas.map);
}

// The command of the control a key presses, or 0.
int DefaultButton(const UserDialogTemplate& tmpl) {
    for (const UserDialogItem& item : tmpl.items)
        if (item.classOrdinal == 0x80 &&
            (item.style & 0x0F) == BS_DEFPUSHBUTTON)
            return item.id;
    return IDOK;
}

} // namespace

// Runs the dialog modally over its owner: WM_INITDIALOG, then keys until its
// procedure calls EndDialog. -1 when the template can't be had.
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName,
                               HWND owner, DLGPROC dialogProc, LPARAM param) {
    TRACE(TRACE_USER, "template=%p owner=%p", (const void*)templateName,
          (void*)owner);
    DWORD size = 0;
    const void* data =
        UserFindResource(instance, RT_DIALOG, templateName, &size);
    UserDialogTemplate tmpl;
    if (!data || !UserParseDialog(data, size, tmpl) || !IsWindow(owner))
        return -1;

    HWND dialog = UserCreateDialogWindow(owner, dialogProc);
    HICON icon = nullptr;
    int focus = -1;
    for (size_t i = 0; i < tmpl.items.size(); ++i) {
        const UserDialogItem& item = tmpl.items[i];
        if (item.classOrdinal == 0x82 && (item.style & 0x1F) == SS_ICON &&
            item.textOrdinal)
            icon = LoadIconA(instance, MAKEINTRESOURCEA(item.textOrdinal));
        if (focus < 0 && (item.style & WS_TABSTOP)) focus = (int)i;
    }

    Layout at;
    {
        UserCanvas canvas(owner);
        SIZE letters = canvas.Measure(
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        if (letters.cx > 0) {
            at.baseX = (letters.cx / 26 + 1) / 2;
            at.baseY = letters.cy;
        }
    }
    at.left = at.X(tmpl.x) + kBorder;
    at.top = at.Y(tmpl.y) + kUiCaptionHeight;

    SendMessageA(dialog, WM_INITDIALOG,
                 focus >= 0 ? (WPARAM)tmpl.items[focus].id : 0, param);
    int defaultId = DefaultButton(tmpl);
    while (IsWindow(dialog) && !dialog->dialogEnded) {
        Draw(dialog, tmpl, at, icon, focus);
        UserInput in;
        if (!UserTakeModalInput(in, USER_MODAL_WAIT_FOR_EVENTS)) continue;
        if (in.kind == UserInput::Close ||
            (in.down && in.alt && in.virtualKey == VK_F4)) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            continue;
        }
        if (in.down && in.virtualKey == VK_RETURN)
            SendMessageA(dialog, WM_COMMAND, (WPARAM)defaultId, 0);
        else if (in.down && in.virtualKey == VK_ESCAPE)
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        else if (!in.down && in.virtualKey == VK_SPACE && focus >= 0)
            // A push button clicks when the space bar comes back up.
            SendMessageA(dialog, WM_COMMAND, (WPARAM)tmpl.items[focus].id, 0);
    }
    INT_PTR result = dialog->dialogResult;
    UserDestroyDialogWindow(dialog);
    if (IsWindow(owner)) UserShowPixels(owner, *UserScreen(owner));
    return result;
}

// Ends a modal dialog: its loop returns `result` once the procedure returns.
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    TRACE(TRACE_USER, "dialog=%p result=%ld", (void*)dialog, (long)result);
    if (!IsWindow(dialog) || !dialog->dialogProc) return FALSE;
    dialog->dialogEnded = true;
    dialog->dialogResult = result;
    return TRUE;
}
