// user32: the keyboard interface of a window's menu bar. Alt with a
// mnemonic, Alt alone or F10 open it in a modal loop of its own, drawn over
// the screen; the chosen command is posted as WM_COMMAND, as the real menu
// bar does.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "paint.h"
#include "resource_private.h"
#include "user_private.h"

namespace {

struct Entry {
    std::string text; // code page 936, with its '&'
    char mnemonic = 0;
    UINT id = 0;
};

struct Popup {
    Entry title;
    std::vector<Entry> items;
};

const int kBarHeight = 24;
const int kRowHeight = 24;
const COLORREF kMenuEdge = RGB(160, 160, 160);

Entry MakeEntry(const std::u16string& text, UINT id) {
    Entry entry;
    entry.text = WideToAnsi(text.data(), text.size());
    UserStripMnemonic(entry.text, &entry.mnemonic);
    entry.id = id;
    return entry;
}

bool LoadPopups(HWND window, std::vector<Popup>& popups) {
    DWORD size = 0;
    const void* data =
        UserFindResource(window->instance, RT_MENU, window->menuName, &size);
    UserMenu menu;
    if (!data || !UserParseMenu(data, size, menu)) return false;
    for (const UserMenuPopup& p : menu.popups) {
        Popup popup;
        popup.title = MakeEntry(p.text, 0);
        for (const UserMenuItem& item : p.items)
            popup.items.push_back(MakeEntry(item.text, item.id));
        popups.push_back(popup);
    }
    return !popups.empty();
}

void Draw(HWND window, const std::vector<Popup>& popups, int bar, bool open,
          int item) {
    UserCanvas canvas(window);
    canvas.Fill(0, 0, kScreenWidth, kBarHeight, kUiFace);
    canvas.Fill(0, kBarHeight - 1, kScreenWidth, kBarHeight, kMenuEdge);
    int x = 0;
    int openX = 0;
    for (size_t i = 0; i < popups.size(); ++i) {
        int width =
            canvas.Measure(UserStripMnemonic(popups[i].title.text, nullptr))
                .cx +
            20;
        bool selected = (int)i == bar;
        if (selected) {
            canvas.Fill(x, 0, x + width, kBarHeight - 1, kUiHighlight);
            openX = x;
        }
        canvas.Label(x + 10, 4, popups[i].title.text,
                     selected ? kUiWhite : kUiBlack);
        x += width;
    }
    if (!open) {
        UserShowPixels(window, canvas.map);
        return;
    }
    const Popup& popup = popups[bar];
    int width = 120;
    for (const Entry& entry : popup.items)
        width = std::max(
            width,
            (int)canvas.Measure(UserStripMnemonic(entry.text, nullptr)).cx +
                48);
    int top = kBarHeight;
    int bottom = top + 4 + kRowHeight * (int)popup.items.size();
    canvas.Fill(openX, top, openX + width, bottom, kUiFace);
    canvas.Frame(openX, top, openX + width, bottom, kMenuEdge);
    for (size_t i = 0; i < popup.items.size(); ++i) {
        int rowTop = top + 2 + kRowHeight * (int)i;
        bool selected = (int)i == item;
        if (selected)
            canvas.Fill(openX + 2, rowTop, openX + width - 2,
                        rowTop + kRowHeight, kUiHighlight);
        canvas.Label(openX + 28, rowTop + 4, popup.items[i].text,
                     selected ? kUiWhite : kUiBlack);
    }
    UserShowPixels(window, canvas.map);
}

int FindMnemonic(const std::vector<Entry>& entries, char mnemonic) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].mnemonic && entries[i].mnemonic == mnemonic)
            return (int)i;
    return -1;
}

} // namespace

void UserMenuLoop(HWND window, char mnemonic) {
    std::vector<Popup> popups;
    if (!IsWindow(window) || !window->menuName || !LoadPopups(window, popups))
        return;
    std::vector<Entry> titles;
    for (const Popup& popup : popups)
        titles.push_back(popup.title);

    int bar = 0;
    bool open = false;
    int item = -1;
    if (mnemonic) {
        bar = FindMnemonic(titles, (char)std::toupper((unsigned char)mnemonic));
        if (bar < 0) return; // no such popup: Windows only beeps
        open = true;
        item = 0;
    }

    UINT chosen = 0;
    bool done = false;
    while (!done && IsWindow(window)) {
        Draw(window, popups, bar, open, item);
        UserInput in;
        if (!UserTakeModalInput(in, USER_MODAL_WAIT_FOR_EVENTS)) continue;
        if (in.kind == UserInput::Close) {
            UserQueueInput(in); // the window closes once the menu is gone
            break;
        }
        if (!in.down) continue;
        int count = (int)popups.size();
        const std::vector<Entry>& items = popups[bar].items;
        switch (in.virtualKey) {
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10:
            done = true;
            break;
        case VK_LEFT:
        case VK_RIGHT:
            bar = (bar + (in.virtualKey == VK_LEFT ? count - 1 : 1)) % count;
            item = open ? 0 : -1;
            break;
        case VK_DOWN:
            if (!open) {
                open = true;
                item = 0;
            } else if (!items.empty()) {
                item = (item + 1) % (int)items.size();
            }
            break;
        case VK_UP:
            if (open && !items.empty())
                item = (item + (int)items.size() - 1) % (int)items.size();
            break;
        case VK_RETURN:
            if (!open) {
                open = true;
                item = 0;
            } else if (item >= 0 && item < (int)items.size()) {
                chosen = items[item].id;
                done = true;
            }
            break;
        default:
            if (open) {
                int found = FindMnemonic(items, (char)in.virtualKey);
                if (found >= 0) {
                    chosen = items[found].id;
                    done = true;
                }
            } else {
                int found = FindMnemonic(titles, (char)in.virtualKey);
                if (found >= 0) {
                    bar = found;
                    open = true;
                    item = 0;
                }
            }
        }
    }
    if (IsWindow(window)) UserShowPixels(window, *UserScreen(window));
    if (chosen) PostMessageA(window, WM_COMMAND, chosen, 0);
}
