// A message box's picture: caption bar with its close box, the icon the
// type asks for, the text wrapped to a readable width, and the OK button
// with the focus.
#include "msgbox_draw.h"

#include <algorithm>
#include <cmath>

namespace {

const COLORREF kBody = RGB(255, 255, 255);
const COLORREF kFace = RGB(240, 240, 240);
const COLORREF kCaption = RGB(0, 90, 170);
const COLORREF kEdge = RGB(100, 100, 100);
const COLORREF kButton = RGB(225, 225, 225);
const COLORREF kButtonPressed = RGB(204, 228, 247);
const COLORREF kButtonEdge = RGB(0, 120, 215);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const int kCaptionHeight = 26;
const int kCloseSize = 18;
const int kMargin = 16;
const int kIconSize = 32;
const int kIconGap = 12;
const int kFooter = 46;
const int kButtonWidth = 86;
const int kButtonHeight = 26;
const int kMaxTextWidth = 560;
const int kMinWidth = 240;
const int kMaxWidth = 1000;

// A message box shows '&' as written: Label would take it for a mnemonic.
std::string Literal(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

// Bytes in the character at text[i]: two for a GBK lead byte.
size_t CharLength(const std::string& text, size_t i) {
    unsigned char c = (unsigned char)text[i];
    return (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}

void WrapParagraph(UserCanvas& canvas, const std::string& paragraph,
                   int maxWidth, std::vector<std::string>& lines) {
    std::string line;
    size_t i = 0;
    while (i < paragraph.size()) {
        // What stays together: an ASCII word, a space, or one Chinese
        // character (Chinese breaks between any two).
        size_t end = i + CharLength(paragraph, i);
        if (end - i == 1 && paragraph[i] != ' ')
            while (end < paragraph.size() && paragraph[end] != ' ' &&
                   (unsigned char)paragraph[end] < 0x80)
                ++end;
        std::string piece = paragraph.substr(i, end - i);
        i = end;
        if (!line.empty() && canvas.Measure(line + piece).cx > maxWidth) {
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            lines.push_back(line);
            line.clear();
            if (piece == " ") continue;
        }
        line += piece;
    }
    lines.push_back(line);
}

} // namespace

std::vector<std::string> UserWrapText(UserCanvas& canvas,
                                      const std::string& text, int maxWidth) {
    std::vector<std::string> lines;
    std::string paragraph;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            WrapParagraph(canvas, paragraph, maxWidth, lines);
            paragraph.clear();
        } else {
            paragraph += c;
        }
    }
    WrapParagraph(canvas, paragraph, maxWidth, lines);
    return lines;
}

UserBoxPicture::UserBoxPicture(const std::string& text,
                               const std::string& caption, UINT type)
    : caption(caption), icon(type & MB_ICONMASK) {
    if (icon > MB_ICONASTERISK) icon = 0; // no drawn icon for other values
    UserCanvas measure(1, 1, kBody);
    lines = UserWrapText(measure, text, kMaxTextWidth);
    lineHeight = std::max(1, (int)measure.Measure("A").cy);
    int textWidth = 0;
    for (const std::string& line : lines)
        textWidth = std::max(textWidth, (int)measure.Measure(line).cx);
    int captionWidth = measure.Measure(caption, true).cx;

    int textHeight = lineHeight * (int)lines.size();
    int content = std::max(textHeight, icon ? kIconSize : 0);
    iconLeft = kMargin;
    iconTop = kCaptionHeight + kMargin + (content - kIconSize) / 2;
    textLeft = kMargin + (icon ? kIconSize + kIconGap : 0);
    textTop = kCaptionHeight + kMargin + (content - textHeight) / 2;
    height = kCaptionHeight + 2 * kMargin + content + kFooter;
    width = std::max({textLeft + textWidth + kMargin,
                      10 + captionWidth + 10 + kCloseSize + 5,
                      kButtonWidth + 2 * 12, kMinWidth});
    width = std::min(width, kMaxWidth);
    int buttonTop = height - kFooter + (kFooter - kButtonHeight) / 2;
    button = {width - 12 - kButtonWidth, buttonTop, width - 12,
              buttonTop + kButtonHeight};
    closeBox = {width - 5 - kCloseSize, 4, width - 5, 4 + kCloseSize};
    canvas = std::make_unique<UserCanvas>(width, height, kBody);
}

void UserBoxPicture::DrawIcon(int left, int top) {
    UserCanvas& c = *canvas;
    const char* mark = nullptr;
    COLORREF markColor = kWhite;
    double r = kIconSize / 2.0 - 0.5, cx = kIconSize / 2.0;
    for (int row = 0; row < kIconSize; ++row) {
        double dy = row + 0.5 - cx;
        int from, to;
        if (icon == MB_ICONEXCLAMATION) {
            // A triangle standing on the icon's bottom edge.
            double half = (row + 1) * cx / kIconSize;
            from = (int)std::lround(cx - half);
            to = (int)std::lround(cx + half);
        } else {
            if (std::fabs(dy) > r) continue;
            double half = std::sqrt(r * r - dy * dy);
            from = (int)std::lround(cx - half);
            to = (int)std::lround(cx + half);
        }
        COLORREF fill = icon == MB_ICONHAND          ? RGB(200, 30, 30)
                        : icon == MB_ICONEXCLAMATION ? RGB(250, 200, 0)
                                                     : kCaption;
        c.Fill(left + from, top + row, left + to, top + row + 1, fill);
    }
    switch (icon) {
    case MB_ICONHAND: {
        // A white cross of two thick strokes.
        int mx = left + kIconSize / 2, my = top + kIconSize / 2;
        for (int t = -7; t <= 7; ++t) {
            c.Fill(mx + t - 1, my + t - 1, mx + t + 2, my + t + 2, kWhite);
            c.Fill(mx + t - 1, my - t - 1, mx + t + 2, my - t + 2, kWhite);
        }
        return;
    }
    case MB_ICONEXCLAMATION:
        mark = "!";
        markColor = kBlack;
        break;
    case MB_ICONQUESTION:
        mark = "?";
        break;
    default:
        mark = "i";
    }
    SIZE size = c.Measure(mark, true);
    int y = top + (kIconSize - size.cy) / 2 + (icon == MB_ICONEXCLAMATION);
    c.Label(left + (kIconSize - size.cx) / 2, y, mark, markColor, true);
}

const PixelMap& UserBoxPicture::Draw(bool pressed) {
    UserCanvas& c = *canvas;
    c.Fill(0, 0, width, height, kBody);
    c.Fill(0, 0, width, kCaptionHeight, kCaption);
    SIZE title = c.Measure(caption, true);
    c.Label(10, (kCaptionHeight - title.cy) / 2, Literal(caption), kWhite,
            true);
    c.Fill(closeBox.left, closeBox.top, closeBox.right, closeBox.bottom,
           RGB(232, 17, 35));
    SIZE cross = c.Measure("x", true);
    c.Label(closeBox.left + (kCloseSize - cross.cx) / 2,
            closeBox.top + (kCloseSize - cross.cy) / 2, "x", kWhite, true);

    if (icon) DrawIcon(iconLeft, iconTop);
    for (size_t i = 0; i < lines.size(); ++i)
        c.Label(textLeft, textTop + (int)i * lineHeight, Literal(lines[i]),
                kBlack);

    c.Fill(0, height - kFooter, width, height, kFace);
    const RECT& b = button;
    c.Fill(b.left, b.top, b.right, b.bottom,
           pressed ? kButtonPressed : kButton);
    // The default button's double edge, and the focus rectangle inside.
    c.Frame(b.left, b.top, b.right, b.bottom, kButtonEdge);
    c.Frame(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, kButtonEdge);
    SIZE ok = c.Measure("OK");
    c.Label(b.left + (kButtonWidth - ok.cx) / 2,
            b.top + (kButtonHeight - ok.cy) / 2, "OK", kBlack);
    c.FocusRect(b.left + 3, b.top + 3, b.right - 3, b.bottom - 3);

    c.Frame(0, 0, width, height, kEdge);
    return c.map;
}
