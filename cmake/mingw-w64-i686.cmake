# Cross build for 32-bit Windows (the bitness of EchoLink itself) with MinGW-w64, posix thread model.
# The programs run under Wine's WoW64 in a 64-bit prefix, as on a 64-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# widl and the Windows-side stdole2.tlb that the stand-in's type libraries import.
set(WIDL ${MINGW_TRIPLET}-widl)
set(WINE_WINDOWS_LIBRARIES /usr/lib/i386-linux-gnu/wine/i386-windows)
