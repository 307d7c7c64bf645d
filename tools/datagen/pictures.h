// The pictures under "obrazky": intro, the four scenes with their animals, one picture per animal.
#pragma once
#include <string>

#include "platform/gdi/bitmap.h"

namespace datagen {

constexpr int kSceneW = 640, kSceneH = 410;
constexpr int kIntroW = 530, kIntroH = 380;
// The intro picture's quarters meet here (its own coordinates).
constexpr int kIntroSplitX = 320, kIntroSplitY = 205;

// The scene without its animals, and the finished scene with every animal where its hit-map
// silhouette lies.
plat::Bitmap SceneBackground(int set);
plat::Bitmap ScenePicture(int set);
// Four framed miniatures: home upper left, farm upper right, forest lower left, safari lower right.
plat::Bitmap IntroPicture();
// The animal large, with its Czech name in big letters.
plat::Bitmap AnimalPicture(int set, int n);

// Liberation Sans Bold, the captions' font; throws Error naming the package when missing.
std::string BoldFontFile();

// By bare file name in any case ("oz_uvod.bmp", "doma_f.bmp", "les_7.bmp"); throws Error otherwise.
plat::Bitmap MakePicture(const std::string& file_name);

}  // namespace datagen
