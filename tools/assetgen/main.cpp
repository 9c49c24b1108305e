// qel-assets DIR: writes the four data files into DIR.
// qel-assets --icon FILE: writes the icon the resources embed.
// qel-assets --icon-png ICO SIZE FILE: one image of that icon, as a PNG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assets.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--icon") == 0)
        return WriteIcon(argv[2]) ? 0 : 1;
    if (argc == 5 && std::strcmp(argv[1], "--icon-png") == 0)
        return WriteIconPng(argv[2], std::atoi(argv[3]), argv[4]) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: qel-assets DIR | qel-assets --icon FILE | "
                             "qel-assets --icon-png ICO SIZE FILE\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = WriteKeyboardPicture(dir + "/finger.jpg");
    ok = WriteHitSound(dir + "/damage_axe.wav") && ok;
    ok = WriteLevelUpSound(dir + "/item_specialdrop.wav") && ok;
    ok = WriteMusic(dir + "/music.mp3") && ok;
    return ok ? 0 : 1;
}
