# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads), runtime linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OZZEL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OZZEL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OZZEL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${OZZEL_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OZZEL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No libgcc, libstdc++ or winpthread DLLs beside the program: a family copies one folder.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the Windows programs under wine (64-bit).
find_program(OZZEL_WINE NAMES wine64 wine)
if(OZZEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OZZEL_WINE})
endif()
