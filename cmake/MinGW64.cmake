# Cross-builds 64-bit Windows binaries on Linux with Debian's mingw-w64 (the posix thread model,
# which std::thread and std::mutex need).
#
#   cmake -S . -B build-win -G Ninja --toolchain cmake/MinGW64.cmake -DKELVO_WIN_DEPS=<prefix>
#
# KELVO_WIN_DEPS is the prefix of the static libpng and libjpeg built for Windows (scripts/windows.sh
# makes them); zlib comes from Debian's libz-mingw-w64-dev.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot and the prefix of our own cross-built ones;
# programs (juceaide, the code generators) and CMake packages (JUCE's CMake files) from the build
# machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KELVO_MINGW_TRIPLE} ${KELVO_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# JUCE's CMake files are the build machine's (Debian keeps them under its multiarch folder).
if(NOT JUCE_DIR)
    file(GLOB KELVO_JUCE_CONFIG /usr/lib/cmake/JUCE-*/JUCEConfig.cmake /usr/lib/*/cmake/JUCE-*/JUCEConfig.cmake)
    if(KELVO_JUCE_CONFIG)
        list(GET KELVO_JUCE_CONFIG 0 KELVO_JUCE_CONFIG)
        get_filename_component(JUCE_DIR "${KELVO_JUCE_CONFIG}" DIRECTORY)
    endif()
endif()

# Toolchain files are read again by try_compile: pass the prefix on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELVO_WIN_DEPS)

# Only system DLLs at run time: the compiler's own runtime is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# Release binaries without the symbols and debug sections of the static runtime libraries.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")
