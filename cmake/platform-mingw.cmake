# Windows itself: a PE32+ GUI program cross-built by mingw-w64 against the
# toolchain's Win32 and DirectDraw/Direct3D import libraries and DevIL's DLLs
# (DevIL.dll, ILU.dll), which users install beside the program.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows" OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
   OR NOT MINGW_PREFIX)
    message(FATAL_ERROR
        "The mingw platform is cross-built by mingw-w64's g++ "
        "(cmake --preset mingw), not by ${CMAKE_CXX_COMPILER}")
endif()
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    message(FATAL_ERROR "The mingw platform is built for x86_64 only")
endif()

# DevIL for Windows is not packaged here, but its headers are plain C
# declarations that serve every platform: Debian's are used through a
# folder of the build's own that holds nothing but a link to them, so the
# rest of the build machine's /usr/include stays out of a Windows build.
find_path(BLENDPROBE_DEVIL_HEADERS IL/il.h
    PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
    DOC "Folder holding DevIL's IL/il.h and IL/ilu.h")
if(NOT BLENDPROBE_DEVIL_HEADERS)
    message(FATAL_ERROR "DevIL's headers (IL/il.h) not found: run tools/install-deps.sh mingw")
endif()
set(devil_include ${CMAKE_BINARY_DIR}/devil/include)
file(MAKE_DIRECTORY ${devil_include})
file(CREATE_LINK ${BLENDPROBE_DEVIL_HEADERS}/IL ${devil_include}/IL SYMBOLIC)

# The import libraries of DevIL's DLLs are made at build time from the
# lists of the functions the system calls (cmake/mingw/*.def).
find_program(BLENDPROBE_DLLTOOL NAMES ${MINGW_PREFIX}-dlltool REQUIRED)
foreach(dll DevIL ILU)
    set(def ${CMAKE_SOURCE_DIR}/cmake/mingw/${dll}.def)
    set(implib ${CMAKE_BINARY_DIR}/devil/lib/lib${dll}.dll.a)
    add_custom_command(
        OUTPUT ${implib}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/devil/lib
        COMMAND ${BLENDPROBE_DLLTOOL} --input-def ${def} --output-lib ${implib}
        DEPENDS ${def}
        COMMENT "Making the import library of ${dll}.dll"
        VERBATIM)
    add_custom_target(blendprobe_implib_${dll} DEPENDS ${implib})
    set(implib_${dll} ${implib})
endforeach()

# The same target names as find_package(DevIL) gives the other platforms.
add_library(blendprobe_devil_il INTERFACE)
target_include_directories(blendprobe_devil_il SYSTEM INTERFACE ${devil_include})
target_link_libraries(blendprobe_devil_il INTERFACE ${implib_DevIL})
set_property(TARGET blendprobe_devil_il APPEND PROPERTY INTERFACE_LINK_DEPENDS ${implib_DevIL})
add_dependencies(blendprobe_devil_il blendprobe_implib_DevIL)
add_library(DevIL::IL ALIAS blendprobe_devil_il)

add_library(blendprobe_devil_ilu INTERFACE)
target_link_libraries(blendprobe_devil_ilu INTERFACE blendprobe_devil_il ${implib_ILU})
set_property(TARGET blendprobe_devil_ilu APPEND PROPERTY INTERFACE_LINK_DEPENDS ${implib_ILU})
add_dependencies(blendprobe_devil_ilu blendprobe_implib_ILU)
add_library(DevIL::ILU ALIAS blendprobe_devil_ilu)

target_link_libraries(blendprobe_system PUBLIC ddraw dxguid DevIL::IL DevIL::ILU)
# A GUI program: WinMain is the entry point and no console is attached.
# Linked statically against the compiler's own runtime (libgcc, libstdc++,
# winpthread), so that the program needs only Windows' DLLs and DevIL's.
target_link_options(blendprobe_system PUBLIC -mwindows -static)
