// The few services of the operating system whose calls differ between POSIX and Windows.
#pragma once
#include <optional>
#include <string>

namespace plat::os {

// Sets an environment variable for this process and the programs it starts; false when refused.
bool SetEnv(const std::string& name, const std::string& value);
// A new private directory in the system's temporary folder, named prefix + a unique suffix.
std::optional<std::string> MakeTempDir(const std::string& prefix);
// The folder the running program's file is in; empty when the system does not say.
std::string ExeDir();
// The process's current directory; empty when the system does not say.
std::string CurrentDir();
// What joins a folder and a name in this system's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
// The user's language as a lowercase ISO 639-1 code: the display language on Windows, the locale's on
// POSIX (the first of LC_ALL, LC_MESSAGES, LANG that is set); empty when it names none ("C", "POSIX").
std::string UserLanguage();

// Standard input and output carry bytes as they are (no "\r\n" for "\n" on Windows): traces compare
// byte for byte across systems.
void BinaryStdio();

// The time since this process started, in ms (from OZZEL_START_NS, a CLOCK_REALTIME stamp a launcher
// takes just before exec, when given; else from the system's record), and its own CPU time until now.
// The age is -1 when the system does not say.
void ProcessTimes(double& age_ms, double& cpu_ms);

}  // namespace plat::os
