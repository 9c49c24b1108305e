// Drawing the menu and dialogs over the screen.
#include "paint.h"

#include <cctype>
#include <cstring>

#include "user_private.h"

// The face a Chinese system uses for menus and dialogs: 宋体, in GBK.
static const char kUiFontFace[] = "\xcb\xce\xcc\xe5";

// Regular and bold; a menu or dialog redraws many times a second.
static HFONT uiFonts[2];

static HFONT UiFont(bool bold) {
    if (!uiFonts[bold]) {
        LOGFONTA lf = {};
        lf.lfHeight = 16;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = GB2312_CHARSET;
        std::memcpy(lf.lfFaceName, kUiFontFace, sizeof(kUiFontFace));
        uiFonts[bold] = CreateFontIndirectA(&lf);
    }
    return uiFonts[bold];
}

void UserCloseCanvasFonts() {
    for (HFONT& font : uiFonts) {
        DeleteObject(font);
        font = nullptr;
    }
}

UserCanvas::UserCanvas(HWND window) {
    UserCopyScreen(window, pixels);
    map = {pixels.data(), kScreenWidth, kScreenHeight, kScreenWidth};
    Open();
}

UserCanvas::UserCanvas(int width, int height, COLORREF color) {
    width = width > 0 ? width : 1;
    height = height > 0 ? height : 1;
    pixels.assign((size_t)width * height, GdiPixelFromColor(color));
    map = {pixels.data(), width, height, width};
    Open();
}

void UserCanvas::Open() {
    dc = GdiCreatePixelDC(map);
    SetBkMode(dc, TRANSPARENT);
}

UserCanvas::~UserCanvas() {
    if (dc) GdiDeletePixelDC(dc);
}

void UserCanvas::Fill(int left, int top, int right, int bottom,
                      COLORREF color) {
    RECT rect = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void UserCanvas::Frame(int left, int top, int right, int bottom,
                       COLORREF color) {
    Fill(left, top, right, top + 1, color);
    Fill(left, bottom - 1, right, bottom, color);
    Fill(left, top, left + 1, bottom, color);
    Fill(right - 1, top, right, bottom, color);
}

void UserCanvas::FocusRect(int left, int top, int right, int bottom) {
    for (int x = left; x < right; x += 2) {
        Fill(x, top, x + 1, top + 1, kUiBlack);
        Fill(x, bottom - 1, x + 1, bottom, kUiBlack);
    }
    for (int y = top; y < bottom; y += 2) {
        Fill(left, y, left + 1, y + 1, kUiBlack);
        Fill(right - 1, y, right, y + 1, kUiBlack);
    }
}

SIZE UserCanvas::Measure(const std::string& text, bool bold) {
    SIZE size = {0, 0};
    SelectObject(dc, UiFont(bold));
    GetTextExtentPoint32A(dc, text.data(), (int)text.size(), &size);
    return size;
}

std::string UserStripMnemonic(const std::string& text, char* mnemonic) {
    std::string out;
    if (mnemonic) *mnemonic = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && mnemonic && !*mnemonic)
                *mnemonic = (char)std::toupper((unsigned char)text[i]);
        }
        out += text[i];
    }
    return out;
}

int UserCanvas::Label(int x, int y, const std::string& text, COLORREF color,
                      bool bold) {
    std::string before; // the text ahead of the mnemonic, to place its line
    std::string shown;
    char marked = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&' &&
            !marked) {
            before = shown;
            marked = text[i + 1];
            continue;
        }
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    SelectObject(dc, UiFont(bold));
    SetTextColor(dc, color);
    TextOutA(dc, x, y, shown.data(), (int)shown.size());
    SIZE all = Measure(shown, bold);
    if (marked) {
        SIZE lead = Measure(before, bold);
        SIZE mark = Measure(std::string(1, marked), bold);
        Fill(x + lead.cx, y + all.cy - 2, x + lead.cx + mark.cx, y + all.cy - 1,
             color);
    }
    return all.cx;
}
