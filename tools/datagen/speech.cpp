// espeak-ng (a fresh engine copy per utterance) and Festival (a fresh copy of a loaded Festival per utterance).
#include "tools/datagen/speech.h"

#include <espeak-ng/speak_lib.h>

#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/media_info.h"
#include "platform/fs/fs.h"
#include "tools/datagen/error.h"
#include "tools/datagen/stages.h"
#include "tools/datagen/texts.h"

namespace datagen {

namespace {

// ---- espeak-ng

std::vector<short>* g_sink = nullptr;

// Pipes are made and forked one thread at a time, so that no child inherits another's pipe and holds
// it open (its reader would then wait for the wrong child to end).
std::mutex g_fork_mu;

int Collect(short* wav, int n, espeak_EVENT*) {
  if (wav && n > 0 && g_sink) g_sink->insert(g_sink->end(), wav, wav + n);
  return 0;
}

void EnsureEngine() {
  static std::mutex mu;
  static bool ready = false;
  std::lock_guard<std::mutex> lock(mu);
  if (ready) return;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0)
    throw Error("libespeak-ng could not start (is espeak-ng-data installed? package espeak-ng-data)");
  if (rate != kRate)
    throw Error("libespeak-ng speaks at " + std::to_string(rate) + " Hz, expected " + std::to_string(kRate));
  espeak_SetSynthCallback(Collect);
  ready = true;
}

// Runs the engine in a child process that starts from the freshly initialised engine: espeak-ng
// keeps filter and echo state from one utterance to the next, so speaking in-process would make
// each recording depend on what was said before it.
std::vector<short> SynthInChild(const std::string& utf8, const Voice& v) {
  std::unique_lock<std::mutex> forking(g_fork_mu);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw Error("cannot create a pipe for speech synthesis");
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw Error("cannot fork for speech synthesis");
  }
  if (pid == 0) {
    ::close(fds[0]);
    int status = 1;
    if (espeak_SetVoiceByName(v.name.c_str()) == EE_OK) {
      espeak_SetParameter(espeakRATE, v.rate, 0);
      espeak_SetParameter(espeakPITCH, v.pitch, 0);
      espeak_SetParameter(espeakRANGE, v.range, 0);
      espeak_SetParameter(espeakVOLUME, 100, 0);
      std::srand(1);  // breath noise comes from rand()
      std::vector<short> raw;
      g_sink = &raw;
      const espeak_ERROR err = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                                            nullptr, nullptr);
      espeak_Synchronize();
      status = err == EE_OK ? 0 : 3;
      const char* p = reinterpret_cast<const char*>(raw.data());
      size_t left = raw.size() * sizeof(short);
      while (status == 0 && left > 0) {
        const ssize_t n = ::write(fds[1], p, left);
        if (n <= 0) status = 4;
        else p += n, left -= size_t(n);
      }
    } else {
      status = 2;
    }
    ::close(fds[1]);
    ::_exit(status);
  }
  ::close(fds[1]);
  forking.unlock();
  std::vector<char> bytes;
  char buf[1 << 15];
  for (;;) {
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 100;
  if (code == 2) throw Error("libespeak-ng has no voice \"" + v.name + "\" (package espeak-ng-data)");
  if (code != 0) throw Error("libespeak-ng failed to speak: " + utf8);
  std::vector<short> raw(bytes.size() / sizeof(short));
  std::memcpy(raw.data(), bytes.data(), raw.size() * sizeof(short));
  return raw;
}

// ---- Festival

std::string Packages(const TextTable& t) {
  const std::string v = t.festival_voice;
  if (v == "czech_dita") return "festival festival-czech festvox-czech-dita";
  if (v == "cmu_us_slt_arctic_hts") return "festival festvox-us-slt-hts";
  return "festival";
}

// Our Festival with the fresh copies (datagen-festival, beside this program as the build and the package
// put it), else Festival itself from PATH; $OZZEL_FESTIVAL names another (a path that does not exist turns
// Festival off).
std::string FestivalProgram() {
  if (const char* env = std::getenv("OZZEL_FESTIVAL")) return ::access(env, X_OK) == 0 ? env : "";
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec)
    for (const auto& ours : {self.parent_path() / "datagen-festival", self.parent_path() / "../lib/ozzel/datagen-festival"})
      if (::access(ours.c_str(), X_OK) == 0) return ours.lexically_normal().string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t at = 0;
  while (at <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', at), dirs.size());
    const std::string p = dirs.substr(at, end - at) + "/festival";
    if (end > at && ::access(p.c_str(), X_OK) == 0) return p;
    at = end + 1;
  }
  return "";
}

bool VoiceInstalled(const std::string& voice) {
  std::error_code ec;
  for (const auto& lang : std::filesystem::directory_iterator("/usr/share/festival/voices", ec))
    if (std::filesystem::is_directory(lang.path() / voice, ec)) return true;
  return false;
}

// Text for Festival: its voice's 8-bit character set, inside a Scheme string literal.
std::string SchemeString(const std::string& utf8, const std::string& charset) {
  iconv_t cd = ::iconv_open(charset.c_str(), "UTF-8");
  if (cd == iconv_t(-1)) throw Error("no conversion from UTF-8 to " + charset);
  std::string in = utf8, out(utf8.size() * 2 + 8, '\0');
  char* ip = in.data();
  char* op = out.data();
  size_t il = in.size(), ol = out.size();
  const size_t r = ::iconv(cd, &ip, &il, &op, &ol);
  ::iconv_close(cd);
  if (r == size_t(-1)) throw Error("\"" + utf8 + "\" cannot be written in " + charset + " for Festival");
  out.resize(out.size() - ol);
  std::string q = "\"";
  for (char c : out) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

uint32_t Seed(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h & 0x7FFFFFFF;
}

// A Festival process with the voice loaded, fed Scheme on stdin; it answers on stderr (unbuffered) with
// a marker line after each request, and writes each recording to a file of our temporary directory.
// No line is said by a Festival that has spoken before: its UniSyn back end reads a value past the end of
// one of its tracks, so what a process said before can change the next line a little, and where Trim
// cuts, by 100 ms or more. A process that has said nothing yet always gives the same bytes. Ours
// (festival_fresh.cpp) says each line in a forked copy of itself and serves any number of lines; a plain
// Festival says one and is done.
class Festival {
 public:
  // Starts Festival with the voice; on failure returns null and says why.
  static std::unique_ptr<Festival> Start(const TextTable& t, std::string* why) {
    const std::string program = FestivalProgram();
    if (program.empty()) {
      *why = "Festival not found; packages " + Packages(t);
      return nullptr;
    }
    std::unique_ptr<Festival> f(new Festival(t));
    if (!f->Spawn(program)) {
      *why = "Festival did not start";
      return nullptr;
    }
    std::string init = "(voice_" + std::string(t.festival_voice) + ")\n";
    // The Czech front end varies its intonation at random: its generator is set up once here and
    // reseeded from the text before each line, so a line never depends on the ones before it.
    if (std::string(t.festival_voice) == "czech_dita") init += "(czech-rand)\n";
    init += "(if (symbol-bound? 'ozzel.fresh) (format stderr \"ozzel-fresh\\n\"))\n";
    std::string err;
    if (!f->Request(init, &err)) {
      *why = "Festival has no voice " + std::string(t.festival_voice) + " (" + err + "); packages " + Packages(t);
      return nullptr;
    }
    return f;
  }

  // Whether it can say another line after this one.
  bool Reusable() const { return fresh_ && !used_up_; }

  ~Festival() {
    if (in_ >= 0) ::close(in_);
    if (err_) std::fclose(err_);
    if (pid_ > 0) {
      int status;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }

  std::vector<short> Synth(const std::string& utf8) {
    const std::string wav = dir_ + "/line.wav";
    std::error_code ec;
    std::filesystem::remove(wav, ec);
    const std::string line = "(srand " + std::to_string(Seed(utf8)) + ")\n(set! ozzel-u (utt.synth (Utterance Text " +
                             SchemeString(utf8, table_.festival_charset) + ")))\n(utt.wave.resample ozzel-u " +
                             std::to_string(kRate) + ")\n(utt.save.wave ozzel-u \"" + wav + "\" 'riff)";
    std::string err;
    const bool ok = Request(fresh_ ? "(ozzel.fresh\n" + line + ")\n" : line + "\n", &err);
    used_up_ = !fresh_ || !ok;
    if (!ok) throw Error("Festival failed to speak \"" + utf8 + "\": " + err);
    const auto bytes = plat::fs::ReadFile(wav);
    const auto* d = bytes ? reinterpret_cast<const uint8_t*>(bytes->data()) : nullptr;
    const auto info = d ? plat::ParseWav(d, bytes->size()) : std::nullopt;
    if (!info || info->channels != 1 || info->bits != 16 || info->sample_rate != uint32_t(kRate))
      throw Error("Festival wrote no usable recording for \"" + utf8 + "\"");
    std::vector<short> raw(info->data_bytes / 2);
    for (size_t i = 0; i < raw.size(); ++i)
      raw[i] = short(d[info->data_offset + 2 * i] | d[info->data_offset + 2 * i + 1] << 8);
    return raw;
  }

  const char* voice() const { return table_.festival_voice; }

 private:
  explicit Festival(const TextTable& t) : table_(t) {}

  bool Spawn(const std::string& program) {
    char tmpl[] = "/tmp/datagen-festival-XXXXXX";
    if (!::mkdtemp(tmpl)) return false;
    dir_ = tmpl;
    std::lock_guard<std::mutex> forking(g_fork_mu);
    int in[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return false;
    if (::pipe2(err, O_CLOEXEC) != 0) {
      ::close(in[0]);
      ::close(in[1]);
      return false;
    }
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(err[1], 2);
      const int null = ::open("/dev/null", O_WRONLY);
      if (null >= 0) ::dup2(null, 1);
      // The default Lisp heap (10 million cells, 330 MB) costs 0.3 s of page faults per start; the
      // longest line speaks in a fifth of this one.
      ::execl(program.c_str(), program.c_str(), "--heap", "500000", "--pipe", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(err[1]);
    if (pid_ < 0) {
      ::close(in[1]);
      ::close(err[0]);
      return false;
    }
    in_ = in[1];
    err_ = ::fdopen(err[0], "r");
    return err_ != nullptr;
  }

  // Sends Scheme followed by a marker and reads Festival's stderr up to the marker. False (with
  // the error lines) when Festival reported an error or ended.
  bool Request(const std::string& scheme, std::string* error) {
    const std::string text = scheme + "(format stderr \"ozzel-done\\n\")\n";
    const char* p = text.data();
    size_t left = text.size();
    // A Festival that has ended must not kill us with SIGPIPE.
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &old);
    while (left > 0) {
      const ssize_t n = ::write(in_, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      p += n, left -= size_t(n);
    }
    ::sigaction(SIGPIPE, &old, nullptr);
    if (left > 0) {
      *error = "Festival ended";
      return false;
    }
    std::string errors;
    char line[4096];
    while (std::fgets(line, sizeof line, err_)) {
      std::string l = line;
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
      if (l == "ozzel-fresh") {
        fresh_ = true;
        continue;
      }
      if (l == "ozzel-done") {
        *error = errors;
        return errors.empty();
      }
      if (l.find("ERROR") != std::string::npos) errors += (errors.empty() ? "" : "; ") + l;
    }
    *error = errors.empty() ? "Festival ended" : errors;
    return false;
  }

  const TextTable& table_;
  pid_t pid_ = -1;
  int in_ = -1;
  std::FILE* err_ = nullptr;
  std::string dir_;
  bool fresh_ = false;     // says each line in a fresh copy of itself
  bool used_up_ = false;
};

// The examiner of the current language; `idle` holds the Festivals free to say a line, the first of them
// the one started to choose the voice. There are never more of them than threads speaking at once.
struct Examiner {
  const TextTable* table = nullptr;
  bool festival = false;
  std::vector<std::unique_ptr<Festival>> idle;
  std::string description;
};

std::mutex g_examiner_mu;

// Chosen (and Festival started) on first use; called with g_examiner_mu held.
Examiner& CurrentExaminer() {
  static Examiner e;
  const TextTable& t = Texts();
  if (e.table == &t) return e;
  e.idle.clear();
  e.table = &t;
  std::string why;
  if (*t.festival_voice)
    if (auto f = Festival::Start(t, &why)) e.idle.push_back(std::move(f));
  e.festival = !e.idle.empty();
  e.description = e.festival ? std::string("Festival ") + t.festival_voice
                             : std::string("espeak-ng ") + t.espeak_voice + (why.empty() ? "" : " (" + why + ")");
  return e;
}

Pcm ToPcm(const std::vector<short>& raw, const std::string& utf8, const char* engine) {
  if (raw.empty()) throw Error(std::string(engine) + " said nothing for: " + utf8);
  Pcm p(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) p[i] = float(raw[i] / 32768.0);
  return Trim(p, 0.004, 0.06);
}

}  // namespace

Pcm Say(const std::string& utf8, const Voice& v) {
  StageTimer t(Stage::kSpeech);
  EnsureEngine();
  return ToPcm(SynthInChild(utf8, v), utf8, "libespeak-ng");
}

Pcm Speak(const std::string& utf8, bool cheerful) {
  StageTimer t(Stage::kSpeech);
  std::unique_lock<std::mutex> lock(g_examiner_mu);
  Examiner& e = CurrentExaminer();
  const TextTable& table = *e.table;
  if (!e.festival) {
    lock.unlock();
    const std::string name = table.espeak_voice;
    return Say(utf8, cheerful ? Voice{name, 150, 80, 90} : Voice{name, 140, 70, 70});
  }
  std::unique_ptr<Festival> f;
  if (!e.idle.empty()) {
    f = std::move(e.idle.back());
    e.idle.pop_back();
  }
  lock.unlock();
  if (!f) {
    std::string why;
    f = Festival::Start(table, &why);
    if (!f) throw Error(why + " for \"" + utf8 + "\"");
  }
  Pcm p = ToPcm(f->Synth(utf8), utf8, "Festival");
  if (f->Reusable()) {
    lock.lock();
    // Unless the language changed meanwhile: then it speaks the wrong one.
    if (e.table == &table) e.idle.push_back(std::move(f));
  }
  return p;
}

std::string ExaminerVoice() {
  std::lock_guard<std::mutex> lock(g_examiner_mu);
  return CurrentExaminer().description;
}

bool ExaminerFellBack() {
  {
    std::lock_guard<std::mutex> lock(g_examiner_mu);
    if (CurrentExaminer().festival) return false;
  }
  return PlannedExaminerVoice().rfind("Festival ", 0) == 0;
}

std::string PlannedExaminerVoice() {
  const TextTable& t = Texts();
  if (*t.festival_voice && !FestivalProgram().empty() && VoiceInstalled(t.festival_voice))
    return std::string("Festival ") + t.festival_voice;
  return std::string("espeak-ng ") + t.espeak_voice;
}

}  // namespace datagen
