// Inside the stand-in: drawing the menu and dialogs over the screen, with
// GDI, in the flat light look of a Windows desktop.
#ifndef QEL_PLATFORM_USER_PAINT_H
#define QEL_PLATFORM_USER_PAINT_H

#include <windows.h>

#include <string>
#include <vector>

#include "../gdi/dc.h"

// The flat light look of the menu, the About box and message boxes.
const COLORREF kUiFace = RGB(240, 240, 240);
const COLORREF kUiCaption = RGB(0, 90, 170);
const COLORREF kUiEdge = RGB(100, 100, 100);
const COLORREF kUiButton = RGB(225, 225, 225);
const COLORREF kUiHighlight = RGB(0, 120, 215); // default button, menu choice
const COLORREF kUiClose = RGB(232, 17, 35);     // the caption's close box
const COLORREF kUiWhite = RGB(255, 255, 255);
const COLORREF kUiBlack = RGB(0, 0, 0);
const int kUiCaptionHeight = 26;

// A composition of the window's last frame and whatever a modal loop draws
// over it.
struct UserCanvas {
    std::vector<uint32_t> pixels;
    PixelMap map;
    HDC dc = nullptr;

    explicit UserCanvas(HWND window);
    // A blank `width` by `height` canvas of `color` (a window of its own).
    UserCanvas(int width, int height, COLORREF color);
    ~UserCanvas();
    UserCanvas(const UserCanvas&) = delete;
    UserCanvas& operator=(const UserCanvas&) = delete;

    void Fill(int left, int top, int right, int bottom, COLORREF color);
    void Frame(int left, int top, int right, int bottom, COLORREF color);
    // Text in code page 936 with its '&' mnemonic underlined; returns the
    // width drawn.
    int Label(int x, int y, const std::string& text, COLORREF color,
              bool bold = false);
    SIZE Measure(const std::string& text, bool bold = false);
    // The dotted focus rectangle, drawn inside a control's edge.
    void FocusRect(int left, int top, int right, int bottom);

  private:
    void Open();
};

// The UI fonts every canvas draws with are opened once, by the first canvas,
// and closed here: with the last window, or by a test's reset.
void UserCloseCanvasFonts();

// "文件(&F)" without its '&', and the mnemonic it marks (upper case), or 0.
std::string UserStripMnemonic(const std::string& text, char* mnemonic);

// `text` with every '&' doubled, so that Label shows it as written, with
// no mnemonic (a message box's text, a static control with SS_NOPREFIX).
inline std::string UserLiteralLabel(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

#endif
