// The studio of the family's own voice: the game's lines one by one, recorded in a rapid flow.
#pragma once
#include <string>

namespace ozzel {

// Runs the studio over the main window until Done or Esc, for the registered medium's lines (data_dir)
// and the takes of its language. Traces "studio open", "studio line NAME", "studio listening",
// "studio take NAME kept|silent|quiet|clipped|unreadable", "studio play NAME MS" (MS from the end of
// speech to the playback), "studio again", "studio like-this NAME", "studio close N" (N takes there).
void RunVoiceStudio(const std::string& language, const std::string& data_dir);

}  // namespace ozzel
