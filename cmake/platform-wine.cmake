# Wine: a Winelib program for x86_64, compiled and linked by wineg++ against
# Wine's own Win32 and DirectDraw/Direct3D. wineg++ adds Wine's header
# directories as system headers, so whatever those headers trigger stays
# out of our -Werror while our own code keeps every warning.
if(NOT CMAKE_CXX_COMPILER MATCHES "wineg\\+\\+")
    message(FATAL_ERROR
        "The wine platform is built by wineg++ (cmake --preset wine), "
        "not by ${CMAKE_CXX_COMPILER}")
endif()
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    message(FATAL_ERROR "The wine platform is built for x86_64 only")
endif()

# Linking NAME.exe writes the program NAME.exe.so and a launcher NAME.exe;
# tests run `wine NAME.exe.so`.
set(CMAKE_EXECUTABLE_SUFFIX .exe)

# CMake learns the multiarch directory (lib/x86_64-linux-gnu) from the
# compiler's verbose link line, which wineg++ does not show; without it
# find_package misses Debian's libraries.
if(NOT CMAKE_LIBRARY_ARCHITECTURE)
    execute_process(
        COMMAND ${CMAKE_CXX_COMPILER} -print-multiarch
        OUTPUT_VARIABLE CMAKE_LIBRARY_ARCHITECTURE
        OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

find_package(DevIL REQUIRED)

target_link_libraries(blendprobe_system PUBLIC ddraw dxguid DevIL::IL DevIL::ILU)
# A GUI program: WinMain is the entry point and no console is attached.
target_link_options(blendprobe_system PUBLIC -mwindows)
