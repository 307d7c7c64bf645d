// The period medium: the demo medium's files rewritten as a late-1990s disc holds them (8.3 capital
// names, palettised and RLE pictures, 8-bit, ADPCM and mu-law sounds, format-0 MIDI, an RLE8 clip).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace datagen {

// How one file of the period medium is written.
enum class PeriodFormat {
  Pcm16,    // 16-bit PCM, 22050 Hz
  Pcm8,     // 8-bit unsigned PCM, 11025 Hz
  ImaAdpcm,
  MsAdpcm,
  MuLaw,    // 8-bit mu-law, 11025 Hz
  Rle8,     // 8-bit palettised BMP, RLE8
  Rle4,     // 4-bit palettised BMP, RLE4 (16 colours)
  BottomUp,  // 8-bit palettised BMP, uncompressed, bottom row first
  TopDown,   // 8-bit palettised BMP, uncompressed, top row first
  Midi0,    // format-0 MIDI with running status
  AviRle8,  // RLE8 AVI with its palette
};

// The format chosen for a data file ("\zvuky\oz_brav.wav"); the choice is fixed by its name.
PeriodFormat PeriodFormatOf(const std::string& rel_dos_path);
// The file's place on the disc: "\zvuky\oz_D_a5.wav" -> "ZVUKY/OZ_D_A5.WAV".
std::string PeriodPath(const std::string& rel_dos_path);
// The period form of a file the demo medium holds (`modern`: its bytes there). Throws Error.
std::vector<uint8_t> PeriodFile(const std::string& rel_dos_path, const std::vector<uint8_t>& modern);

// The encoders, also used by the tests on their own.
// Mono samples in [-1, 1] as a WAV of the format given (a sound format only).
std::vector<uint8_t> EncodePeriodWav(const std::vector<float>& samples, int rate, PeriodFormat f);
// A picture as a palettised BMP of the format given (a picture format only); colours are reduced
// to the palette the format allows.
std::vector<uint8_t> EncodePeriodBmp(const plat::Bitmap& picture, PeriodFormat f);
// A Standard MIDI File of any format merged into one format-0 track with running status.
std::vector<uint8_t> ToMidiFormat0(const std::vector<uint8_t>& smf);

// Read-only (files 0444, folders 0555) or writable again (0644 / 0755), the whole tree from path.
void SetTreeReadOnly(const std::string& path, bool read_only);

}  // namespace datagen
