// The asset generator: every picture, sound and icon of the game is drawn or
// synthesised here. Each writer returns false (with a message on stderr)
// when it cannot write its file.
#ifndef QEL_ASSETGEN_ASSETS_H
#define QEL_ASSETGEN_ASSETS_H

#include <string>

bool WriteIcon(const std::string& path);            // qel.ico, eight images
bool WriteKeyboardPicture(const std::string& path); // finger.jpg
bool WriteHitSound(const std::string& path);        // damage_axe.wav
bool WriteLevelUpSound(const std::string& path);    // item_specialdrop.wav
bool WriteMusic(const std::string& path);           // music.mp3
// The size by size true-colour image of an .ico, as a PNG.
bool WriteIconPng(const std::string& icoPath, int size,
                  const std::string& pngPath);

#endif
