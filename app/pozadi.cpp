// Background window: covers the desktop with the tiled texture before any dialog can appear.
#include "app/pozadi.h"

#include "controls/tile_image.h"
#include "platform/ui/application.h"
#include "resources/resources.h"

namespace ozzel {

TFORMPozadi* FORMPozadi = nullptr;
namespace {
std::unique_ptr<TFORMPozadi> g_pozadi;
}

TFORMPozadi::TFORMPozadi(plat::Application& app) : plat::Form(app, "FORMPozadi") {
  SetLoading(true);
  Caption = "Bimbalo - pozadí aplikace";
  Color = plat::kWindowBlue;
  Cursor = plat::crHourGlass;
  SetBounds(0, 0, 104, 213);
  TileImage1 = &Add<TTileImage>("TileImage1");
  TileImage1->SetBounds(0, 0, 104, 213);
  TileImage1->SetCursor(plat::crArrow);
  try {
    TileImage1->SetPicture(res::Picture("pozadi"));
  } catch (const plat::GdiError&) {
    // Without its texture the window shows its plain blue.
  }
  TileImage1->SetTileImage(true);
  SetLoading(false);
}

void pozadi_Initialize(plat::Application& app) {
  g_pozadi = std::make_unique<TFORMPozadi>(app);
  FORMPozadi = g_pozadi.get();
  app.screen().SetCursor(plat::crHourGlass);
  FORMPozadi->Show();
  plat::Size s{app.screen().Width(), app.screen().Height()};
  FORMPozadi->SetBounds(0, 0, s.w, s.h);
  // Aligned to the client: the tiles follow the window's size.
  FORMPozadi->TileImage1->SetBounds(0, 0, s.w, s.h);
  FORMPozadi->SetEnabled(false);
  // Painted at once, as a shown window is: the settings and the main window take a while to load.
  app.PresentNow();
}

bool ReleaseBackground() {
  if (!FORMPozadi) return false;
  FORMPozadi->Release();
  return true;
}

void pozadi_Destroy() {
  FORMPozadi = nullptr;
  g_pozadi.reset();
}

}  // namespace ozzel
