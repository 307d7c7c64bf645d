// The real program on Windows: the Win32 backend; a fatal start-up error shows in the system's own box
// (a window program has no console).
#include <windows.h>

#include <memory>

#include "app/run_main.h"
#include "platform/win32/utf.h"
#include "platform/win32/win32_backend.h"

int main(int argc, char** argv) {
  ozzel::System windows;
  windows.about =
    "A spoken animal quiz for pre-school children. The registry value kde_je_BM4 names the data\n"
    "medium; the installer registers the demo medium. --parents opens the parents' page first.\n";
  windows.make_backend = [] { return std::make_unique<plat::Win32Backend>(); };
  windows.fatal = [](const std::string& what) {
    MessageBoxW(nullptr, plat::win32::Wide(what).c_str(), L"Ozzel", MB_OK | MB_ICONERROR);
  };
  return ozzel::RunMain(argc, argv, windows);
}
