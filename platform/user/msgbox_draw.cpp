// A message box's picture: caption bar with its close box, the text, and
// the OK button with the focus.
#include "msgbox_draw.h"

#include <algorithm>

namespace {

const COLORREF kButtonPressed = RGB(204, 228, 247);
const int kCloseSize = 18;
const int kMargin = 16;
const int kFooter = 46;
const int kButtonWidth = 86;
const int kButtonHeight = 26;
const int kMinWidth = 240;
const int kMaxWidth = 1000;
const int kLineHeight = 16; // the UI font's cell

} // namespace

int UserBoxPicture::MeasureWidth(const std::string& text,
                                 const std::string& caption) {
    UserCanvas measure(1, 1, kUiWhite);
    int width = std::max(
        {(int)measure.Measure(text).cx + 2 * kMargin,
         10 + (int)measure.Measure(caption, true).cx + 10 + kCloseSize + 5,
         kButtonWidth + 2 * 12, kMinWidth});
    return std::min(width, kMaxWidth);
}

UserBoxPicture::UserBoxPicture(const std::string& text,
                               const std::string& caption)
    : text(text), caption(caption),
      canvas(MeasureWidth(text, caption),
             kUiCaptionHeight + 2 * kMargin + kLineHeight + kFooter, kUiWhite) {
    int width = Width(), height = Height();
    int buttonTop = height - kFooter + (kFooter - kButtonHeight) / 2;
    button = {width - 12 - kButtonWidth, buttonTop, width - 12,
              buttonTop + kButtonHeight};
    closeBox = {width - 5 - kCloseSize, 4, width - 5, 4 + kCloseSize};
}

const PixelMap& UserBoxPicture::Draw(bool pressed) {
    UserCanvas& c = canvas;
    int width = Width(), height = Height();
    c.Fill(0, 0, width, height, kUiWhite);
    c.Fill(0, 0, width, kUiCaptionHeight, kUiCaption);
    SIZE title = c.Measure(caption, true);
    c.Label(10, (kUiCaptionHeight - title.cy) / 2, UserLiteralLabel(caption),
            kUiWhite, true);
    c.Fill(closeBox.left, closeBox.top, closeBox.right, closeBox.bottom,
           kUiClose);
    SIZE cross = c.Measure("x", true);
    c.Label(closeBox.left + (kCloseSize - cross.cx) / 2,
            closeBox.top + (kCloseSize - cross.cy) / 2, "x", kUiWhite, true);

    c.Label(kMargin, kUiCaptionHeight + kMargin, UserLiteralLabel(text),
            kUiBlack);

    c.Fill(0, height - kFooter, width, height, kUiFace);
    const RECT& b = button;
    c.Fill(b.left, b.top, b.right, b.bottom,
           pressed ? kButtonPressed : kUiButton);
    // The default button's double edge, and the focus rectangle inside.
    c.Frame(b.left, b.top, b.right, b.bottom, kUiHighlight);
    c.Frame(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, kUiHighlight);
    SIZE ok = c.Measure("OK");
    c.Label(b.left + (kButtonWidth - ok.cx) / 2,
            b.top + (kButtonHeight - ok.cy) / 2, "OK", kUiBlack);
    c.FocusRect(b.left + 3, b.top + 3, b.right - 3, b.bottom - 3);

    c.Frame(0, 0, width, height, kUiEdge);
    return c.map;
}
