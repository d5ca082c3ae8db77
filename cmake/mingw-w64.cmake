# What both MinGW-w64 toolchains share (posix thread model); the toolchain file that includes this sets
# MINGW_TRIPLET, CMAKE_SYSTEM_PROCESSOR, WINE_WINDOWS_LIBRARIES and the emulator first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# widl, which makes the stand-in's type libraries; they import Wine's stdole2.tlb of the same bitness,
# from WINE_WINDOWS_LIBRARIES.
set(WIDL ${MINGW_TRIPLET}-widl)
