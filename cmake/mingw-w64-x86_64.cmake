# Cross build for 64-bit Windows, only so that the tests run on machines that cannot run 32-bit programs
# (and so no 32-bit Wine). Started by 64-bit Wine's own loader: Debian's `wine` starts the 32-bit one
# whenever wine32 is installed.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(WINE_WINDOWS_LIBRARIES /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(CMAKE_CROSSCOMPILING_EMULATOR env WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
