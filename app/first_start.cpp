// The first start: datagen run by the game itself (an argument vector, no shell) and the root registered.
#include "app/first_start.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "media/data_root.h"
#include "platform/os.h"
#include "platform/os/child_process.h"
#include "platform/quit_request.h"
#include "platform/registry/registry.h"

namespace ozzel {

namespace {

namespace fs = std::filesystem;

class DatagenRun : public Preparation {
 public:
  DatagenRun(const std::string& datagen, const std::string& root, const std::string& language) : root_(root) {
    std::error_code ec;
    made_ = !fs::exists(root, ec);
    fs::create_directories(root, ec);
    if (ec) {
      failure_ = "error other cannot make the folder " + root + ": " + ec.message();
    } else if (datagen.empty()) {
      failure_ = "error other datagen, which makes the medium, is missing";
    } else {
      try {
        child_ = std::make_unique<plat::ChildProcess>(
            std::vector<std::string>{datagen, "--progress", "--language", language, root});
      } catch (const std::exception& e) {
        failure_ = std::string("error other ") + e.what();
      }
    }
  }

  ~DatagenRun() override {
    child_.reset();  // ends it (and lets it remove its half-made files) before its folder is looked at
    // A folder made here goes again when datagen left it empty (it removes its own half-made files).
    std::error_code ec;
    if (status_ != 0 && made_) fs::remove(fs::path(root_) / "bm4", ec), fs::remove(root_, ec);
  }

  bool Poll(std::vector<std::string>& lines) override {
    if (status_ >= 0) return false;
    if (!child_) {
      lines.push_back(failure_);
      status_ = 1;
      return false;
    }
    if (child_->Poll(lines)) return true;
    status_ = child_->ExitStatus();
    if (status_ == 0 && !RegisterDataRoot(plat::Registry::DefaultPath(), root_)) {
      lines.push_back("error other cannot write the settings store " + plat::Registry::DefaultPath());
      status_ = 1;
    }
    return false;
  }

  int Status() const override { return status_; }

 private:
  std::string root_;
  bool made_ = false;
  std::string failure_;
  std::unique_ptr<plat::ChildProcess> child_;
  int status_ = -1;
};

std::string TakeEnv(const char* name) {
  const char* v = std::getenv(name);
  std::string value = v ? v : "";
  if (v) plat::os::SetEnv(name, "");
  return value;
}

}  // namespace

std::unique_ptr<Preparation> MakeMedium(const std::string& datagen, const std::string& root, const std::string& language) {
  return std::make_unique<DatagenRun>(datagen, root, language);
}

std::string FindDatagen(std::vector<std::string>* looked) {
  if (const char* named = std::getenv("OZZEL_DATAGEN"); named && *named) {
    if (looked) looked->push_back(named);
    std::error_code ec;
    return fs::is_regular_file(named, ec) ? named : "";
  }
  const fs::path dir = plat::os::ExeDir();
  if (dir.empty()) return "";
  for (const fs::path& p : {dir / "datagen", dir.parent_path() / "lib" / "ozzel" / "datagen"}) {
    if (looked) looked->push_back(p.string());
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return "";
}

std::optional<int> PrepareMedium(plat::Backend& backend) {
  const std::string root = TakeEnv("OZZEL_MEDIUM");
  if (root.empty()) return std::nullopt;
  if (!plat::ChildProcess::Available()) {
    // The page has fetched it already: only the registration is left.
    RegisterDataRoot(plat::Registry::DefaultPath(), root);
    return std::nullopt;
  }
  const char* named = std::getenv("OZZEL_LANGUAGE");
  const std::string language = named && *named ? named : "cs";
  std::vector<std::string> looked;
  const std::string datagen = FindDatagen(&looked);
  if (datagen.empty()) {
    std::string where;
    for (const std::string& p : looked) where += (where.empty() ? "" : ", ") + p;
    std::fprintf(stderr, "ozzel: datagen, which makes the demo medium, is not there (looked for %s)\n", where.c_str());
  }
  if (plat::QuitRequests() != 0) return 0;
  auto work = MakeMedium(datagen, root, language);
  const auto outcome = RunWaitingScreen(backend, *work, language);
  if (outcome == WaitOutcome::kClosed && plat::QuitRequests() != 0) return 0;  // as asked
  if (outcome != WaitOutcome::kReady) return 1;
  return std::nullopt;
}

}  // namespace ozzel
