// Inside the stand-in: a message box's picture, laid out for its text, in
// the look of the About box (caption bar, white body, button strip).
#ifndef QEL_PLATFORM_USER_MSGBOX_DRAW_H
#define QEL_PLATFORM_USER_MSGBOX_DRAW_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "paint.h"

class UserBoxPicture {
  public:
    // `text` and `caption` are code page 936; `type` picks the icon.
    UserBoxPicture(const std::string& text, const std::string& caption,
                   UINT type);

    int Width() const { return width; }
    int Height() const { return height; }
    // Where a click presses OK, and the caption's close box.
    RECT Button() const { return button; }
    RECT CloseBox() const { return closeBox; }

    // Draws the box, OK looking pushed while `pressed`; the pixels stay
    // valid until the next call.
    const PixelMap& Draw(bool pressed);

  private:
    void DrawIcon(int left, int top);

    std::string caption;
    UINT icon;
    std::vector<std::string> lines;
    int width = 0, height = 0;
    int textLeft = 0, textTop = 0, lineHeight = 0;
    int iconLeft = 0, iconTop = 0;
    RECT button = {}, closeBox = {};
    std::unique_ptr<UserCanvas> canvas;
};

// `text` (code page 936) in lines no wider than `maxWidth` as `canvas`
// measures them: at its line breaks, then between words or between Chinese
// characters.
std::vector<std::string> UserWrapText(UserCanvas& canvas,
                                      const std::string& text, int maxWidth);

#endif
