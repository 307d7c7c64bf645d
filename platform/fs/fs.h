// DOS-style data paths on the host file system: "\" separators, components matched without regard to case.
#pragma once
#include <optional>
#include <string>

namespace plat::fs {

// Maps a DOS-style path to a host path: '\' becomes '/', a leading drive letter ("D:") is dropped,
// and every existing component is matched case-insensitively against the directory it lies in
// (the exact spelling wins when present). A relative path stays relative to the current directory.
// Components that do not exist are kept as written.
std::string HostPath(const std::string& dos_path);

bool DirectoryExists(const std::string& dos_path);
bool FileExists(const std::string& dos_path);
// A real chdir. False when the directory cannot be entered.
bool SetCurrentDir(const std::string& dos_path);

// A regular file opened for reading, or -1 (*error: errno, EISDIR for a directory, EINVAL for
// anything else that is not a regular file: pipe, socket, device). Never blocks in the open.
int OpenRegularFile(const std::string& host_path, int* error = nullptr);
// Whole file into memory; nullopt when it cannot be read. Refuses files above max_bytes.
std::optional<std::string> ReadFile(const std::string& host_path, size_t max_bytes = 256u << 20);

// Writes the whole file under a temporary name beside it, then renames it over host_path, so that
// readers see the old file or the new one, never a part; with sync, the bytes reach the disk first.
// False (and nothing left behind) on any failure.
bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, bool sync);

}  // namespace plat::fs
