// Inside the stand-in: a message box's picture, laid out for its text, in
// the look of the About box (caption bar, white body, button strip).
#ifndef QEL_PLATFORM_USER_MSGBOX_DRAW_H
#define QEL_PLATFORM_USER_MSGBOX_DRAW_H

#include <windows.h>

#include <string>

#include "paint.h"

class UserBoxPicture {
  public:
    // `text` and `caption` are code page 936, each shown on one line.
    UserBoxPicture(const std::string& text, const std::string& caption);

    int Width() const { return canvas.map.width; }
    int Height() const { return canvas.map.height; }
    // Where a click presses OK, and the caption's close box.
    RECT Button() const { return button; }
    RECT CloseBox() const { return closeBox; }

    // Draws the box, OK looking pushed while `pressed`; the pixels stay
    // valid until the next call.
    const PixelMap& Draw(bool pressed);

  private:
    static int MeasureWidth(const std::string& text,
                            const std::string& caption);

    std::string text, caption;
    RECT button = {}, closeBox = {};
    UserCanvas canvas;
};

#endif
