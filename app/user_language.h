// The language of the boxes shown before a medium tells its own: the user's, as the system names it.
#pragma once

namespace ozzel {

// Sets OZZEL_LANGUAGE (when unset) to the user's language if the program has words in it, to English
// for any other named language; with none named (a "C" locale) the boxes stay Czech, as on the disc.
void FollowUserLanguage();

}  // namespace ozzel
