// Builds the complete demo medium under <root>/bm4/_ozzel, atomically, and records it in the settings.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

// The data directory of a root: <root>/bm4/_ozzel, or <root>/BM4/_OZZEL for the period medium.
std::string MediumDir(const std::string& root, bool period = false);

// Contents of one data file, by its path relative to the data directory ("\zvuky\oz_D_a5.wav").
// Throws Error for a path the generator cannot make.
std::vector<uint8_t> MakeFile(const std::string& rel_dos_path);

// Identifies this generator build; a medium whose stamp differs is made again.
std::string GeneratorVersion();
// True when the data directory holds a complete medium (of the kind asked for) stamped by this generator.
bool MediumCurrent(const std::string& root, bool period = false);
// True when it holds a complete medium of this generator that espeak-ng spoke because Festival, meant to
// speak it, failed: not current, so that a later start makes the proper one.
bool FallbackMedium(const std::string& root, bool period = false);

// Writes every data file the program can ask for into a temporary directory beside the target,
// stamps it and renames it into place. Throws Error (nothing is left half-written) on any failure.
// progress, when set, is told each relative path as it is made (one call at a time, in no fixed order). `period` writes
// the files the way a late-1990s disc holds them (tools/datagen/period.h), 8.3 capital names, everything
// read-only. The files are made by `jobs` threads (0: one per core); the bytes are the same for any number.
void GenerateMedium(const std::string& root, const std::function<void(const std::string&)>& progress = {},
                    bool period = false, unsigned jobs = 0);
// One thread per core.
unsigned DefaultJobs();
// From now on SIGTERM, SIGINT, SIGHUP and SIGPIPE (the game that watched the progress gone) stop
// GenerateMedium at the next file: it removes what it made and throws Error. StopSignal() names the signal.
void StopOnSignals();
int StopSignal();

// Writes "kde_je_BM4" = root under "Software\Orvel Team\BM4\Odklon" of the settings store at
// registry_path, touching no other value. Throws Error when the store cannot be written.
void RegisterRoot(const std::string& registry_path, const std::string& root);

}  // namespace datagen
