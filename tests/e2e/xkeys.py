#!/usr/bin/python3
"""Presses keys by X keycode through XTest, as a keyboard sends them: the
server's layout, not the sender, decides what each key types.

Usage: xkeys.py [--hold SECONDS] [--gap SECONDS] KEY...
A KEY is a keycode (38 is the US "a" key) or keycodes joined by "+", held
together in that order (37+65: Ctrl+Space).
xkeys.py --which LETTER prints the keycode that types LETTER in the server's
layout now."""
import argparse
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--hold", type=float, default=0.03)
    parser.add_argument("--gap", type=float, default=0.03)
    parser.add_argument("--which")
    parser.add_argument("keys", nargs="*")
    args = parser.parse_args()
    if args.which:
        code = display.Display().keysym_to_keycode(XK.string_to_keysym(args.which))
        if not code:
            sys.exit("xkeys.py: no key types " + args.which)
        print(code)
        return
    try:
        chords = [[int(code) for code in key.split("+")] for key in args.keys]
    except ValueError:
        sys.exit("xkeys.py: a key is a keycode, or keycodes joined by +")
    for chord in chords:
        if any(code < 8 or code > 255 for code in chord):
            sys.exit("xkeys.py: X keycodes are 8 to 255")
    server = display.Display()
    if not server.has_extension("XTEST"):
        sys.exit("xkeys.py: the X server has no XTEST extension")
    for chord in chords:
        for code in chord:
            xtest.fake_input(server, X.KeyPress, code)
        server.sync()
        time.sleep(args.hold)
        for code in reversed(chord):
            xtest.fake_input(server, X.KeyRelease, code)
        server.sync()
        time.sleep(args.gap)


if __name__ == "__main__":
    main()
