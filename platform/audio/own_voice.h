// Where the family's takes stand in for the medium's spoken lines as they are played.
#pragma once
#include <string>

namespace plat {

// The folder (a host path) of the takes; empty: the medium's voice only.
void SetTakeFolder(const std::string& host_folder);
const std::string& TakeFolder();

// The take named as the medium's file at host_path, as a host path, when one is there and is a WAV the
// bounded reader accepts; "" otherwise. A damaged take is said on stderr, and the medium's line plays.
std::string TakeFor(const std::string& host_path);
// Says on stderr that a take found whole could not be played all the same.
void ReportUnplayableTake(const std::string& take_path);

// The largest take file played or taken in: a 15-second line in any PCM format fits easily.
inline constexpr size_t kMaxTakeBytes = 32u << 20;

}  // namespace plat
