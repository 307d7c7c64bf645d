// Modal message boxes and the input box, drawn by us inside the screen. While one is open only it
// takes input, and every timer keeps ticking.
#pragma once
#include <string>

namespace plat {

enum class BoxKind { Plain, Error, Exception };

// The boxes' own words (the system's, in the user's language): the error caption and the buttons.
struct BoxWords {
  std::string error = "Error", ok = "OK", cancel = "Cancel";
};
void SetBoxWords(const BoxWords& words);

// Plain: no icon, captioned with the application title. Error: caption "Error" (BoxWords), error icon.
// Exception (what the message loop shows for a handler's exception): error icon, captioned with the
// application title. Returns when the box is confirmed. Traces "msgbox plain|error CAPTION|TEXT".
void MessageBox(const std::string& text, BoxKind kind = BoxKind::Plain);
// Caption, prompt, and an edit field holding the proposed text, selected. OK returns the field's
// text, Cancel (or Esc) the proposed text unchanged. Traces "input CAPTION|PROMPT|PROPOSED".
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed);

}  // namespace plat
