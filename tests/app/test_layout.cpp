// The two windows as built from their layouts: every control in order, its place, look and bindings.
#include <gtest/gtest.h>

#include <fstream>

#include "app/layout_main.h"
#include "app/ozz_main.h"
#include "app/pozadi.h"
#include "tests/app/app_harness.h"
#include "controls/avi_delp.h"
#include "controls/tb97ctls.h"
#include "controls/tile_image.h"
#include "game/words.h"
#include "media/technic2.h"
#include "platform/ui/dialogs.h"
#include "resources/resources.h"

using namespace ozzel;
using ozzel::testing::Headless;
using ozzel::testing::TempStore;

namespace {

// A main window built on a medium that has only its pictures folder (no clip, no music).
struct MainWindow {
  MainWindow() {
    store.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, store.MakeMedium(), 0});
    ResetSharedState();
    Technic2_Initialize();
    h.Ok();  // the clip is missing
    h.Ok();  // so is the music
    form = std::make_unique<Tform_ozzel>(*h.app);
  }
  TempStore store;
  Headless h;
  std::unique_ptr<Tform_ozzel> form;
};

}  // namespace

TEST(MainLayout, ControlsInStoredOrderWithTheirPlacesAndVisibility) {
  MainWindow w;
  std::vector<const layout::ControlRow*> rows;
  for (const auto& r : layout::MainControls())
    if (r.kind() != layout::Kind::MediaPlayer) rows.push_back(&r);
  const auto& controls = w.form->Controls();
  ASSERT_EQ(controls.size(), rows.size());
  int graphic = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const plat::Control& c = *controls[i];
    const layout::ControlRow& r = *rows[i];
    SCOPED_TRACE(r.name);
    EXPECT_EQ(c.Name(), r.name);
    if (!c.Windowed()) ++graphic;
    // The shield is moved to the corner at creation; everything else stays where it was stored.
    plat::Rect want = std::string(r.name) == "stit" ? plat::Rect{0, 0, 639, 479}
                                                    : plat::Rect{r.left, r.top, r.width, r.height};
    EXPECT_EQ(c.Bounds(), want);
    EXPECT_EQ(c.Visible(), r.visible);
    EXPECT_EQ(c.Cursor(), r.cursor);
    EXPECT_EQ(c.Tag, r.tag);
  }
  EXPECT_EQ(graphic, 22);
  EXPECT_EQ(controls.size() - graphic, 5u) << "panels, list box and examiner; the two channels are not drawn";
  EXPECT_EQ(w.form->Caption, "Ozzelky - BM4");
  EXPECT_EQ(w.form->ClientWidth(), 640);
  EXPECT_EQ(w.form->ClientHeight(), 480);
  EXPECT_TRUE(w.form->KeyPreview);
  EXPECT_EQ(w.form->Color, plat::kWindowBlue);
  EXPECT_TRUE(w.form->playlist->Items.empty()) << "the design-time line is cleared at creation";
}

TEST(MainLayout, TimersWithTheirIntervalsAndStartStates) {
  MainWindow w;
  const auto& rows = layout::MainTimers();
  const auto& timers = w.form->Timers();
  ASSERT_EQ(rows.size(), 8u);
  ASSERT_EQ(timers.size(), 10u);  // and a parent's time limit and gate, not of the stored window
  EXPECT_FALSE(w.form->casovy_limit->Enabled());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(timers[i]->Name(), rows[i].name);
    EXPECT_EQ(timers[i]->Interval(), uint32_t(rows[i].interval));
    EXPECT_EQ(timers[i]->Enabled(), rows[i].enabled);
  }
  EXPECT_TRUE(w.form->starter->Enabled());
  EXPECT_TRUE(w.form->wav_spoustec->Enabled());
  EXPECT_EQ(w.form->Midi_spoustec->Interval(), 2000u);
}

TEST(MainLayout, ButtonsLabelsAndPanelsLookAsStored) {
  MainWindow w;
  for (TToolbarButton97* b : {w.form->btn_obraz1, w.form->btn_obraz2, w.form->btn_obraz3, w.form->btn_obraz4}) {
    EXPECT_EQ(b->NumGlyphs(), 5);
    EXPECT_EQ(b->DisplayMode(), dmGlyphOnly);
    EXPECT_TRUE(b->NoBorder());
    EXPECT_EQ(b->Layout(), blGlyphTop);
    EXPECT_EQ(b->Spacing(), 0);
    EXPECT_EQ(b->Glyph().width(), 360);
    EXPECT_EQ(b->Color(), plat::kWindowBlue);
  }
  EXPECT_EQ(w.form->BTN_Konec->Layout(), blGlyphLeft);
  EXPECT_EQ(w.form->BTN_Konec->Spacing(), 4);
  for (plat::Label* l : {w.form->lbl_dobre, w.form->lbl_spatne, w.form->dvojtecka}) {
    EXPECT_EQ(l->Font.face, "Arial");
    EXPECT_EQ(l->Font.height_px, 21);
    EXPECT_TRUE(l->Font.bold);
    EXPECT_EQ(l->Font.color, (plat::Rgb{0, 255, 255}));
    EXPECT_TRUE(l->Transparent) << "the counter background shows between the digits";
    EXPECT_EQ(l->Alignment, plat::TextAlign::Center);
  }
  EXPECT_EQ(w.form->dvojtecka->Caption(), ":");
  EXPECT_EQ(w.form->label4->Caption(), "temp");
  for (plat::Panel* p : {w.form->oddeleni, w.form->oddeleni2, w.form->oddeleni3}) EXPECT_EQ(p->Color, (plat::Rgb{50, 130, 210}));
  EXPECT_EQ(w.form->RGB_doma->Picture().width(), 640);
  EXPECT_EQ(w.form->RGB_safari->Picture().height(), 410);
  EXPECT_EQ(w.form->zkouseni_tibora->Repetitions(), 1);
  EXPECT_EQ(w.form->zkouseni_tibora->StopFrame(), 8) << "no clip opened, so the stored stop frame stays";
}

TEST(MainLayout, EventsReachTheNamedHandlers) {
  MainWindow w;
  Tform_ozzel& f = *w.form;
  f.stit->OnClick(*f.stit);
  EXPECT_EQ(shared.SkipKey, 27);
  EXPECT_TRUE(shared.SkipRequested);
  shared.SkipKey = 0;
  f.preview->OnClick(*f.preview);
  EXPECT_EQ(shared.SkipKey, 27);
  f.btn_obraz3->OnClick(*f.btn_obraz3);
  EXPECT_EQ(shared.RequestedSet, 3);
  EXPECT_TRUE(shared.SwitchPending);
  EXPECT_TRUE(f.pozadavek_na_prepnuti_sady->Enabled());
  f.BTN_Konec->OnMouseEnter(*f.BTN_Konec);
  EXPECT_EQ(shared.PendingIconSound, 8);
  EXPECT_FALSE(f.BTN_Konec->OnMouseExit) << "the exit button has no leave handler";
  f.btn_obraz2->OnMouseEnter(*f.btn_obraz2);
  EXPECT_EQ(shared.PendingIconSound, 2);
  f.btn_obraz1->OnMouseExit(*f.btn_obraz1);
  EXPECT_EQ(shared.PendingIconSound, 0) << "one leave handler serves all four scene buttons";
  f.lbl_spatne->OnClick(*f.lbl_spatne);
  ASSERT_EQ(f.playlist->Items.size(), 1u) << "the counter's labels share its click";
  EXPECT_EQ(f.playlist->Items[0], technic2.DataDir + "\\zvuky\\oz_s8.wav");
  EXPECT_TRUE(f.podklad->OnMouseDown && f.podklad->OnMouseMove);
  EXPECT_TRUE(f.preview->OnMouseDown && f.preview->OnMouseMove);
  EXPECT_TRUE(f.divadlo->OnMouseDown);
  EXPECT_FALSE(f.divadlo->OnClick);
  EXPECT_TRUE(f.zkouseni_tibora->OnClick);
  f.BTN_Konec->OnClick(*f.BTN_Konec);
  EXPECT_TRUE(shared.QuitRequested);
}

TEST(MainLayout, NarrowScreenHidesTheLowerCorners) {
  for (int width : {640, 641}) {
    TempStore store;
    store.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, store.MakeMedium(), 0});
    ResetSharedState();
    Headless h(true, {width, 480});
    Technic2_Initialize();
    h.Ok();
    h.Ok();
    Tform_ozzel f(*h.app);
    EXPECT_EQ(f.roh_LD->Visible(), width > 640);
    EXPECT_EQ(f.roh_PD->Visible(), width > 640);
    EXPECT_TRUE(f.roh_LH->Visible());
    EXPECT_TRUE(f.roh_PH->Visible());
  }
}

TEST(MainLayout, DelayRunsSixTicksAndResetsItsCount) {
  MainWindow w;
  Tform_ozzel& f = *w.form;
  f.starter->SetEnabled(false);  // keep the intro out of this
  shared.DelayTicks = 5;
  int ticks = 0;
  auto handler = f.delay_bm->OnTimer;
  f.delay_bm->OnTimer = [&](plat::Timer& t) {
    ++ticks;
    handler(t);
  };
  f.delay_bm->SetEnabled(true);
  uint64_t start = w.h.app->Now();
  w.h.app->PumpWhile([&] { return f.delay_bm->Enabled(); });
  EXPECT_EQ(ticks, 6);
  EXPECT_EQ(w.h.app->Now() - start, 600u);
  EXPECT_EQ(f.delay_bm->Tag, 0);
}

TEST(BackgroundWindow, FullScreenDisabledTiledWithTheHourglass) {
  TempStore store;
  Headless h(true, {800, 600});
  pozadi_Initialize(*h.app);
  ASSERT_NE(FORMPozadi, nullptr);
  EXPECT_EQ(FORMPozadi->Caption, "Bimbalo - pozadí aplikace");
  EXPECT_EQ(FORMPozadi->Bounds(), (plat::Rect{0, 0, 800, 600}));
  EXPECT_FALSE(FORMPozadi->Enabled());
  EXPECT_TRUE(FORMPozadi->Visible());
  EXPECT_EQ(FORMPozadi->Cursor, plat::crHourGlass);
  EXPECT_EQ(h.app->screen().Cursor(), plat::crHourGlass);
  EXPECT_TRUE(FORMPozadi->TileImage1->TileImage());
  EXPECT_EQ(FORMPozadi->TileImage1->Picture().width(), 35);
  EXPECT_EQ(FORMPozadi->TileImage1->Bounds(), (plat::Rect{0, 0, 800, 600}));
  EXPECT_EQ(FORMPozadi->TileImage1->Cursor(), plat::crArrow);
  pozadi_Destroy();
}

TEST(MainLayout, TheDoorSaysTheWordOfTheMediumsLanguage) {
  TempStore store;
  Headless h;
  const std::string root = store.MakeMedium();
  store.reg().Write(kKeyOdklon, "kde_je_BM4", plat::RegValue{plat::RegType::String, root, 0});
  std::ofstream(root + "/bm4/_ozzel/.datagen-stamp") << "version 1\nlanguage de\n";
  ResetSharedState();
  Technic2_Initialize();
  h.Ok();
  h.Ok();
  Tform_ozzel form(*h.app);
  EXPECT_EQ(form.BTN_Konec->Glyph().pixels(), res::Picture("glyph_konec_de").pixels());
  EXPECT_NE(res::Picture("glyph_konec_de").pixels(), res::Picture("glyph_konec").pixels());
  game::SetLanguage("cs");
  plat::SetBoxWords({});
}
