# Turns the resource script into the stand-in's resource table: a C++ file
# whose static objects register each file's bytes with the stand-in desktop
# under the script's type and id, before main runs.
#
# Run as: cmake -DSCRIPT=<file.rc> -DOUTPUT=<file.cpp> -P embed_standin.cmake
# Only lines of the form  <id> <TYPE> "<file>"  are understood; file names are
# relative to the script's directory.

file(STRINGS ${SCRIPT} lines)
get_filename_component(base ${SCRIPT} DIRECTORY)

set(arrays "")
set(registrations "")
set(count 0)
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+\"([^\"]+)\"[ \t]*$")
        continue()
    endif()
    set(id ${CMAKE_MATCH_1})
    set(type ${CMAKE_MATCH_2})
    set(name ${CMAKE_MATCH_3})

    file(READ ${base}/${name} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    # Sixteen bytes a line keeps the generated file readable.
    string(REPEAT "[0-9a-f][0-9a-f]" 16 line_of_bytes)
    string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
    string(REGEX REPLACE "\n    $" "" bytes "${bytes}")

    string(APPEND arrays
        "// ${name}: ${size} bytes\n"
        "const unsigned char data${count}[${size}] = {\n    ${bytes}\n};\n\n")
    string(APPEND registrations
        "const standin::desktop::ModuleResource resource${count}(\"${type}\", ${id}, data${count}, sizeof data${count});\n")
    math(EXPR count "${count} + 1")
endforeach()

if(count EQUAL 0)
    message(FATAL_ERROR "${SCRIPT}: no resource lines found")
endif()

file(WRITE ${OUTPUT}.tmp
    "// Generated from ${SCRIPT} at build time; do not edit.\n"
    "#include \"standin/control/desktop.h\"\n\n"
    "namespace {\n\n"
    "${arrays}"
    "${registrations}\n"
    "}  // namespace\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
