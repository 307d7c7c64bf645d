// The parents' page: big controls for what a parent may set, and the animals the child finds at the first try.
#pragma once
#include <string>
#include <vector>

#include "media/parents.h"
#include "platform/gdi/canvas.h"

namespace ozzel {

// The page's rows, top to bottom.
enum class ParentsRow { Access, Dwell, Scan, Kiosk, Session, Music, Speech };
inline constexpr int kParentsRowCount = 7;

// One step of a row's value: dir +1 up, -1 down; the value stays inside what the page offers.
void StepParentsRow(ParentsSettings& s, ParentsRow row, int dir);
// The row's value as the page shows it, in the language of `language` ("1,5 s", "30 min", "80 %").
std::string ParentsRowValue(const ParentsSettings& s, ParentsRow row, const std::string& language);

// Every text the page draws for these settings, with its box (page coordinates) and font.
struct ParentsPageText {
  std::string text;
  plat::Rect box;
  plat::FontSpec font;
  plat::TextAlign align;
};
std::vector<ParentsPageText> ParentsPageTexts(const std::string& language, const ParentsSettings& s);

// Shows the page over the main window until Done (saves) or Esc (leaves everything as it was). The
// game goes on below it, so the levels can be heard while they change. Traces "parents open" and
// "parents close saved|cancelled". True when the settings were saved; otherwise the values the
// settings file refused (their names under Software\Ozzel) go to `not_saved`.
// *open_studio: the parent chose the studio of the family's own voice (the page closed as by Done).
bool RunParentsPage(const std::string& language, const std::string& data_dir,
                    std::vector<std::string>* not_saved = nullptr, bool* open_studio = nullptr);
// The page's name for a value under Software\Ozzel ("MusicVolume" -> "Music").
std::string ParentsSettingLabel(const std::string& language, const std::string& value_name);

}  // namespace ozzel
