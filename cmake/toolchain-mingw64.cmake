# Cross-build for 64-bit Windows with Debian's mingw-w64 (x86_64-w64-mingw32).
# Programs built here run under wine through CMAKE_CROSSCOMPILING_EMULATOR, so
# CTest and gtest_discover_tests run the Windows tests on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VL_MINGW_TRIPLET x86_64-w64-mingw32)
# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model
# of this compiler lacks.
set(CMAKE_C_COMPILER ${VL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VL_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${VL_MINGW_TRIPLET}-objdump)

# Libraries and headers come from the cross root only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthreads) is linked into
# every program and DLL, so each module is one self-contained file and wine
# needs no extra DLL path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# wine with a prefix of this build's own, created on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-emulator.sh ${CMAKE_BINARY_DIR}/wineprefix)

# pkg-config sees the cross root's packages only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
