// The take folder and the check a take passes before it is played in place of the medium's line.
#include "platform/audio/own_voice.h"

#include <cstdio>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"

namespace plat {

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

std::string BaseName(const std::string& path) {
  const size_t sep = path.find_last_of("/\\");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

void SetTakeFolder(const std::string& host_folder) { Folder() = host_folder; }
const std::string& TakeFolder() { return Folder(); }

std::string TakeFor(const std::string& host_path) {
  if (Folder().empty()) return {};
  const std::string name = BaseName(host_path);
  if (name.empty()) return {};
  // Matched as the medium's files are, without regard to case.
  const std::string take = fs::HostPath(Folder() + "/" + name);
  std::string bytes;
  const fs::ReadState state = fs::ReadRegularFile(take, kMaxTakeBytes, bytes);
  if (state == fs::ReadState::Missing) return {};
  if (state != fs::ReadState::Ok ||
      !ParseWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
    std::fprintf(stderr, "ozzel: the take %s is damaged; the medium's own line plays\n", take.c_str());
    return {};
  }
  return take;
}

void ReportUnplayableTake(const std::string& take_path) {
  std::fprintf(stderr, "ozzel: the take %s cannot be played; the medium's own line plays\n", take_path.c_str());
}

}  // namespace plat
