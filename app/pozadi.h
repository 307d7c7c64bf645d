// The background-window unit: the full-screen, disabled, tiled window behind the game.
#pragma once
#include <memory>

#include "platform/ui/form.h"

namespace ozzel {

class TTileImage;

class TFORMPozadi : public plat::Form {
 public:
  explicit TFORMPozadi(plat::Application& app);
  TTileImage* TileImage1 = nullptr;  // the desktop texture, tiled over the whole window
};

extern TFORMPozadi* FORMPozadi;

// Creates and shows the background window over the whole screen, disabled, with the hourglass.
void pozadi_Initialize(plat::Application& app);
// Releases the background window (it goes once its pending messages are handled). False on failure.
bool ReleaseBackground();
// Destroys it if still there (the end of the program).
void pozadi_Destroy();

}  // namespace ozzel
