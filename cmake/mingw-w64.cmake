# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, for std::thread).
# The libraries the program needs come from the prefix in ZC_WIN_DEPS, which
# scripts/windows-deps.sh fills.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(ZC_WIN_DEPS "$ENV{ZC_WIN_DEPS}" CACHE PATH "Prefix of the Windows builds of SDL2 and its companions")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ZC_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime and threads library are linked in, so a program needs only the
# SDL DLLs beside it (named by full path, which -static leaves alone). Only the parts of the
# threads library the program uses come in: taken whole, it would bring its own version
# resource, which would stand beside the program's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# A build folder configured before keeps the flags it cached, which took that library whole.
if(CMAKE_EXE_LINKER_FLAGS MATCHES "whole-archive")
    set(CMAKE_EXE_LINKER_FLAGS "-static" CACHE STRING "Flags used by the linker" FORCE)
endif()
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
