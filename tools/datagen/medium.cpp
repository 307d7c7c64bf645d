// Medium assembly: file contents by directory, temp-dir build, stamp, atomic rename, registration.
#include "tools/datagen/medium.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>

#include <espeak-ng/speak_lib.h>

#include "game/names.h"
#include "media/registry_keys.h"
#include "tools/datagen/source_hash.h"
#include "platform/registry/registry.h"
#include "tools/datagen/avi.h"
#include "tools/datagen/error.h"
#include "tools/datagen/midi.h"
#include "tools/datagen/period.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/speech.h"
#include "tools/datagen/stages.h"
#include "tools/datagen/texts.h"

namespace datagen {

namespace stdfs = std::filesystem;

namespace {

constexpr const char* kStampName = ".datagen-stamp";
// The words of each spoken recording, for the family recording its own voice (a period disc has none).
constexpr const char* kTextsName = "texty.txt";
constexpr const char* kPeriodStampName = "DATAGEN.STP";
// Raised whenever the medium's contents change in a way the binary hash would not show.
constexpr const char* kFormatVersion = "ozzel-datagen 1";

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

// "\zvuky\oz_D_a5.wav" → {"zvuky", "oz_D_a5.wav"}.
std::pair<std::string, std::string> Split(const std::string& rel) {
  std::string p = rel;
  if (!p.empty() && p[0] == '\\') p.erase(0, 1);
  const size_t bs = p.find('\\');
  if (bs == std::string::npos || p.find('\\', bs + 1) != std::string::npos || bs == 0 || bs + 1 == p.size())
    throw Error("unexpected data path " + rel);
  return {p.substr(0, bs), p.substr(bs + 1)};
}

uint64_t Fnv1a(const void* data, size_t n, uint64_t h = 1469598103934665603ull) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// Writes a file and has it on the disk before returning, or (settle = false) only starts putting it there:
// Settle then waits for it. Waiting for each file in turn costs more than starting them all first.
void WriteAll(const stdfs::path& path, const std::vector<uint8_t>& bytes, bool settle = true) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw Error("cannot create " + path.string());
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool flushed = ok && std::fflush(f) == 0 &&
                       (settle ? ::fsync(fileno(f)) == 0
                               : (::sync_file_range(fileno(f), 0, 0, SYNC_FILE_RANGE_WRITE), true));
  const int why = errno;  // a full disk says so, for the waiting screen
  if (std::fclose(f) != 0 || !ok || !flushed) throw Error("cannot write " + path.string() + ": " + std::strerror(why));
}

void Settle(const stdfs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool ok = fd >= 0 && ::fsync(fd) == 0;
  const int why = errno;
  if (fd >= 0) ::close(fd);
  if (!ok) throw Error("cannot write " + path.string() + ": " + std::strerror(why));
}

bool ProcessAlive(const std::string& pid_text) {
  if (pid_text.empty() || pid_text.size() > 9 || pid_text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const pid_t pid = pid_t(std::stol(pid_text));
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::string ReadText(const stdfs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::string MediumDir(const std::string& root, bool period) {
  return (stdfs::path(root) / (period ? "BM4" : "bm4") / (period ? "_OZZEL" : "_ozzel")).string();
}

namespace {

// Where a data file lies below the data directory.
stdfs::path FilePlace(const std::string& rel, bool period) {
  if (period) return PeriodPath(rel);
  const auto [dir, name] = Split(rel);
  return stdfs::path(Lower(dir)) / name;
}

}  // namespace

// "file name<TAB>text" a line for every spoken recording among FILES, in their order.
std::vector<uint8_t> LineTexts(const std::vector<std::string>& files) {
  std::string out;
  for (const std::string& rel : files) {
    const auto [dir, name] = Split(rel);
    if (Lower(dir) != "zvuky") continue;
    if (auto line = SpokenLine(name)) out += name + "\t" + line->text + "\n";
  }
  return std::vector<uint8_t>(out.begin(), out.end());
}

std::vector<uint8_t> MakeFile(const std::string& rel) {
  const auto [dir, name] = Split(rel);
  const std::string d = Lower(dir), n = Lower(name);
  if (d == "zvuky") {
    const Pcm p = MakeRecording(name);
    StageTimer t(Stage::kWriting);
    return EncodeWav(p);
  }
  if (d == "hudba" && n == "ozzel.mid") {
    StageTimer t(Stage::kSong);
    return MakeTune();
  }
  if (d == "animace" && n == "tib_mluv.avi") {
    StageTimer t(Stage::kClip);
    return MakeExaminerClip();
  }
  if (d == "obrazky") {
    const plat::Bitmap b = MakePicture(name);
    StageTimer t(Stage::kWriting);
    return b.EncodeBmp();
  }
  throw Error("no contents known for " + rel);
}

std::string GeneratorVersion() {
  // The recipe's sources, the speech engine's version and the fonts the pictures are drawn with:
  // the same in Debug and Release builds, different as soon as any of them changes.
  uint64_t h = Fnv1a(kFormatVersion, std::char_traits<char>::length(kFormatVersion));
  h = Fnv1a(DATAGEN_SOURCE_HASH, std::char_traits<char>::length(DATAGEN_SOURCE_HASH), h);
  const char* path = nullptr;
  const std::string speech = espeak_Info(&path);
  h = Fnv1a(speech.data(), speech.size(), h);
  for (const std::string& font : {BoldFontFile()}) {
    std::error_code ec;
    const uintmax_t size = stdfs::file_size(font, ec);
    const std::string id = font + ":" + std::to_string(ec ? 0 : size);
    h = Fnv1a(id.data(), id.size(), h);
  }
  for (const std::string& f : ozzel::game::AllDataFiles()) h = Fnv1a(f.data(), f.size(), h);
  // The language and the voice that will speak it: a medium in another language, or spoken by the
  // fallback voice while Festival's is now installed, is made again.
  const std::string voice = std::string(Texts().code) + " " + PlannedExaminerVoice();
  h = Fnv1a(voice.data(), voice.size(), h);
  return Hex(h);
}

namespace {

// The stamp's first line: a medium spoken by espeak-ng because Festival failed says so, and is not current.
std::string VersionLine(bool period, bool fallback) {
  return "version " + GeneratorVersion() + (period ? " period" : "") + (fallback ? " fallback" : "") + "\n";
}

bool Stamped(const std::string& root, bool period, bool fallback) {
  const stdfs::path stamp = stdfs::path(MediumDir(root, period)) / (period ? kPeriodStampName : kStampName);
  std::error_code ec;
  if (!stdfs::is_regular_file(stamp, ec)) return false;
  const std::string text = ReadText(stamp);
  if (text.rfind(VersionLine(period, fallback), 0) != 0) return false;
  // A file removed by hand makes the medium incomplete, whatever the stamp says.
  for (const std::string& rel : ozzel::game::AllDataFiles())
    if (!stdfs::is_regular_file(stdfs::path(MediumDir(root, period)) / FilePlace(rel, period), ec)) return false;
  return period || stdfs::is_regular_file(stdfs::path(MediumDir(root, period)) / kTextsName, ec);
}

}  // namespace

bool MediumCurrent(const std::string& root, bool period) { return Stamped(root, period, false); }

bool FallbackMedium(const std::string& root, bool period) { return Stamped(root, period, true); }

namespace {

// The order the workers take the files in: the pictures that need a scene's fitted animals first (each
// scene's layout is then fitted on its own core), the long pictures next, the recordings last.
std::vector<size_t> WorkOrder(const std::vector<std::string>& files) {
  auto rank = [](const std::string& rel) {
    const std::string n = Lower(rel);
    if (n.find("\\obrazky\\") == 0 && n.find("_f.bmp") != std::string::npos) return 0;
    if (n.find("\\obrazky\\") == 0) return 1;
    if (n.find("\\animace\\") == 0) return 2;
    return 3;
  };
  std::vector<size_t> order(files.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(files[a]) < rank(files[b]); });
  return order;
}

}  // namespace

// The speech engine runs in forked children. A sanitizer's allocator is not made safe for fork() while
// other threads allocate (the child hangs on its lock), so a sanitized build makes every file on the
// calling thread; the bytes are the same either way.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kForkNeedsOneThread = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kForkNeedsOneThread = true;
#else
constexpr bool kForkNeedsOneThread = false;
#endif
#else
constexpr bool kForkNeedsOneThread = false;
#endif

unsigned DefaultJobs() { return std::max(1u, std::thread::hardware_concurrency()); }

namespace {
std::atomic<int> g_stop_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set inside a signal handler");
extern "C" void OnStopSignal(int sig) { g_stop_signal = sig; }
}  // namespace

void StopOnSignals() {
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) ::sigaction(sig, &sa, nullptr);
}

int StopSignal() { return g_stop_signal; }

void GenerateMedium(const std::string& root, const std::function<void(const std::string&)>& progress, bool period,
                    unsigned jobs) {
  const stdfs::path target = MediumDir(root, period);
  const stdfs::path parent = target.parent_path();
  std::error_code ec;
  stdfs::create_directories(parent, ec);
  if (ec) throw Error("cannot create " + parent.string() + ": " + ec.message());
  // A period medium is read-only, as on its disc: its folder opens up while the medium is replaced,
  // the old medium only once it has stepped aside.
  if (period) stdfs::permissions(parent, stdfs::perms(0755), ec);
  // Leftovers of an interrupted run are never taken for a medium; a run still going keeps its own.
  for (const auto& e : stdfs::directory_iterator(parent, ec)) {
    const std::string name = e.path().filename().string();
    for (const char* prefix : {"_ozzel.tmp-", "_ozzel.old-"})
      if (name.rfind(prefix, 0) == 0 && !ProcessAlive(name.substr(std::strlen(prefix)))) {
        SetTreeReadOnly(e.path().string(), false);
        stdfs::remove_all(e.path(), ec);
      }
  }

  const std::string pid = std::to_string(::getpid());
  const stdfs::path tmp = parent / ("_ozzel.tmp-" + pid);
  try {
    stdfs::create_directories(tmp);
    uint64_t content = Fnv1a(kFormatVersion, std::char_traits<char>::length(kFormatVersion));
    const std::vector<std::string> files = ozzel::game::AllDataFiles();
    for (const std::string& rel : files) stdfs::create_directories((tmp / FilePlace(rel, period)).parent_path());
    // Every core makes and writes files; this thread hashes them in their fixed order, so the medium and
    // its stamp are the same whatever the number of cores.
    struct Slot {
      std::optional<std::vector<uint8_t>> bytes;
      std::exception_ptr error;
    };
    std::vector<Slot> slots(files.size());
    std::mutex mu;
    std::condition_variable made;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const std::vector<size_t> order = WorkOrder(files);
    auto work = [&] {
      for (size_t k; !failed && (k = next++) < order.size();) {
        if (g_stop_signal) {
          std::lock_guard<std::mutex> lock(mu);
          failed = true;
          made.notify_all();
          break;
        }
        const size_t i = order[k];
        Slot done;
        try {
          std::vector<uint8_t> bytes = MakeFile(files[i]);
          StageTimer writing(Stage::kWriting);
          if (period) bytes = PeriodFile(files[i], bytes);
          WriteAll(tmp / FilePlace(files[i], period), bytes, false);
          done.bytes = std::move(bytes);
        } catch (...) {
          done.error = std::current_exception();
          failed = true;
        }
        std::lock_guard<std::mutex> lock(mu);
        if (progress && !done.error) progress(files[i]);
        slots[i] = std::move(done);
        made.notify_all();
      }
    };
    struct Crew {  // ends and joins the workers however this thread leaves
      std::atomic<bool>& failed;
      std::vector<std::thread> threads;
      ~Crew() {
        failed = true;
        for (std::thread& t : threads) t.join();
      }
    } crew{failed, {}};
    if (kForkNeedsOneThread)
      work();
    else
      for (unsigned t = 0; t < std::max(1u, jobs ? jobs : DefaultJobs()); ++t) crew.threads.emplace_back(work);
    for (size_t i = 0; i < files.size(); ++i) {
      std::unique_lock<std::mutex> lock(mu);
      made.wait(lock, [&] { return slots[i].bytes || failed; });
      if (!slots[i].bytes) break;
      const std::vector<uint8_t> bytes = std::move(*slots[i].bytes);
      slots[i].bytes.reset();
      lock.unlock();
      content = Fnv1a(files[i].data(), files[i].size(), content);
      content = Fnv1a(bytes.data(), bytes.size(), content);
    }
    for (std::thread& t : crew.threads) t.join();
    crew.threads.clear();
    // The first failure in the files' order is the one reported, whichever core met it first.
    for (const Slot& slot : slots)
      if (slot.error) std::rethrow_exception(slot.error);
    if (g_stop_signal) throw Error("stopped by signal " + std::to_string(g_stop_signal.load()));
    {
      StageTimer writing(Stage::kWriting);
      for (const std::string& rel : files) Settle(tmp / FilePlace(rel, period));
    }
    if (!period) {
      const std::vector<uint8_t> texts = LineTexts(files);
      content = Fnv1a(kTextsName, std::strlen(kTextsName), content);
      content = Fnv1a(texts.data(), texts.size(), content);
      WriteAll(tmp / kTextsName, texts);
    }
    const std::string stamp = VersionLine(period, ExaminerFellBack()) + "files " +
                              std::to_string(files.size()) + "\ncontent " + Hex(content) + "\nlanguage " +
                              Texts().code + "\nvoice " + ExaminerVoice() + "\n";
    WriteAll(tmp / (period ? kPeriodStampName : kStampName), std::vector<uint8_t>(stamp.begin(), stamp.end()));
    if (period) SetTreeReadOnly(tmp.string(), true);
  } catch (const stdfs::filesystem_error& e) {
    SetTreeReadOnly(tmp.string(), false);
    stdfs::remove_all(tmp, ec);
    throw Error(e.what());
  } catch (...) {
    SetTreeReadOnly(tmp.string(), false);
    stdfs::remove_all(tmp, ec);
    throw;
  }

  // Swap: the old medium steps aside before the new one takes its name, then goes.
  const stdfs::path old = parent / ("_ozzel.old-" + pid);
  if (stdfs::exists(target, ec)) {
    stdfs::rename(target, old, ec);
    if (ec) {
      SetTreeReadOnly(tmp.string(), false);
      stdfs::remove_all(tmp, ec);
      throw Error("cannot move the old medium aside: " + target.string());
    }
  }
  stdfs::rename(tmp, target, ec);
  if (ec) {
    const std::string why = ec.message();
    stdfs::rename(old, target, ec);
    SetTreeReadOnly(tmp.string(), false);
    stdfs::remove_all(tmp, ec);
    throw Error("cannot move the new medium into place: " + why);
  }
  SetTreeReadOnly(old.string(), false);
  stdfs::remove_all(old, ec);
  // The renames themselves reach the disk, not only the files' contents.
  const int dir_fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  if (period) {
    const std::error_code keep = ec;
    stdfs::permissions(parent, stdfs::perms(0555), ec);
    ec = keep;
  }
}

void RegisterRoot(const std::string& registry_path, const std::string& root) {
  plat::Registry reg(registry_path);
  plat::RegValue v;
  v.type = plat::RegType::String;
  v.text = root;
  if (!reg.Write(ozzel::kKeyOdklon, ozzel::kValueDataRoot, v))
    throw Error("cannot write the settings store " + registry_path);
}

}  // namespace datagen
