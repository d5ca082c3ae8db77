# Cross build for 32-bit Windows (the bitness of EchoLink itself): relinka.exe as operators get it. The
# programs run under Wine's WoW64 in a 64-bit prefix, as on a 64-bit Windows.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(WINE_WINDOWS_LIBRARIES /usr/lib/i386-linux-gnu/wine/i386-windows)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
