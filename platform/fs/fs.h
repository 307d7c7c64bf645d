// DOS-style data paths on the host file system: "\" separators, components matched without regard to case.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
// anything else that is not a regular file: pipe, socket, device). Never blocks in the open. POSIX only.
int OpenRegularFile(const std::string& host_path, int* error = nullptr);
// What tells one version of a file from another: which file it is, its size, when it last changed.
struct FileStamp {
  uint64_t device = 0, file = 0, size = 0;
  int64_t modified_ns = 0, changed_ns = 0;  // since 1970
  bool operator==(const FileStamp&) const = default;
};
// A regular file's stamp (through links); nullopt for anything else or nothing.
std::optional<FileStamp> StampOf(const std::string& host_path);

enum class ReadState { Ok, Missing, TooBig, Directory, NotAFile, Error };
// A whole regular file into `out`, or why not: missing, larger than max_bytes, a directory, anything
// else that is not a regular file (never waited on), or an error (*error: the system's words).
// *stamp: the file as it was opened.
ReadState ReadRegularFile(const std::string& host_path, size_t max_bytes, std::string& out,
                          FileStamp* stamp = nullptr, std::string* error = nullptr);
// Whole file into memory; nullopt when it cannot be read. Refuses files above max_bytes.
inline std::optional<std::string> ReadFile(const std::string& host_path, size_t max_bytes = 256u << 20) {
  std::string out;
  if (ReadRegularFile(host_path, max_bytes, out) != ReadState::Ok) return std::nullopt;
  return out;
}

// How WriteFileAtomic replaces a file.
struct AtomicWrite {
  bool sync = false;             // the bytes, then the rename, reach the disk before it returns
  bool keep_attributes = false;  // a replaced file's mode and owner (POSIX) carry over; new: the umask's
  bool locked = false;           // the caller holds the file's FileLock: one temp name serves all writers,
                                 // and what a killed writer left there is cleared first
};
// Writes the whole file under a temporary name beside it, then renames it over host_path, so that
// readers see the old file or the new one, never a part. False (and nothing left behind) on any failure.
bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, const AtomicWrite& how);
inline bool WriteFileAtomic(const std::string& host_path, const void* data, size_t size, bool sync) {
  return WriteFileAtomic(host_path, data, size, AtomicWrite{.sync = sync});
}

// Holds, for its lifetime, an exclusive lock on host_path + ".lock" (made, with the folders it lies
// in, when missing), which every program of the suite takes before it rewrites host_path.
class FileLock {
 public:
  explicit FileLock(const std::string& host_path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return handle_ != -1; }

 private:
  intptr_t handle_ = -1;  // the system's descriptor or handle
};

// A file made under a name only if nothing has that name yet. Failed: *error says why.
enum class NewName { Made, Taken, Failed };
NewName CreateNewFile(const std::string& host_path, const std::string& bytes, std::string* error = nullptr);
// The caller holds the lock of `from` (on POSIX the check and the rename are two steps).
NewName RenameToNewName(const std::string& from, const std::string& to, std::string* error = nullptr);

// The files beside host_path whose names are its name followed by `suffix` and anything: full paths.
std::vector<std::string> Siblings(const std::string& host_path, const std::string& suffix);
// The file a path names through any symbolic links, also one whose target does not exist yet (POSIX;
// elsewhere the path itself).
std::string ResolveLinks(const std::string& host_path);
// A file that exists and that its owner has marked read-only (no write permission at all).
bool IsReadOnly(const std::string& host_path);

}  // namespace plat::fs
