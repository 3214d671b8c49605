# End-to-end tests on Wine share one session for a ctest run: one Xvfb and
# one fresh Wine prefix, started by a setup test and stopped by a cleanup
# test. The tests run one at a time: the Direct3D renderer is a setting of
# the prefix, and key presses go to whichever window has the focus.
include_guard(GLOBAL)

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(BLENDPROBE_WINE_HARNESS ${CMAKE_CURRENT_LIST_DIR}/winerun.py)
set(BLENDPROBE_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)

add_test(NAME wine_session_start
         COMMAND Python3::Interpreter ${BLENDPROBE_WINE_HARNESS} start ${BLENDPROBE_WINE_SESSION})
set_tests_properties(wine_session_start PROPERTIES
    FIXTURES_SETUP wine_session LABELS wine TIMEOUT 360)

add_test(NAME wine_session_stop
         COMMAND Python3::Interpreter ${BLENDPROBE_WINE_HARNESS} stop ${BLENDPROBE_WINE_SESSION})
set_tests_properties(wine_session_stop PROPERTIES
    FIXTURES_CLEANUP wine_session LABELS wine TIMEOUT 60)

# blendprobe_add_wine_test(<name> PROGRAM <target> [TIMEOUT <seconds>]
#                          [RUN_OPTIONS <winerun.py run options>...]
#                          [ARGS <program arguments>...]
#                          [PROPERTIES <test properties>...])
# Runs the Winelib program of <target> in the session through winerun.py,
# which fails the test on a crash or hang of its own accord. The window_text
# program is at hand for --expect-window-text.
function(blendprobe_add_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PROGRAM;TIMEOUT" "RUN_OPTIONS;ARGS;PROPERTIES")
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 60)
    endif()
    # The harness gives up first, so that a hang is reported as one.
    math(EXPR ctest_timeout "${arg_TIMEOUT} + 30")
    add_test(NAME ${name}
             COMMAND Python3::Interpreter ${BLENDPROBE_WINE_HARNESS} run ${BLENDPROBE_WINE_SESSION}
                     --timeout ${arg_TIMEOUT} --window-text-reader $<TARGET_FILE:window_text>.so
                     ${arg_RUN_OPTIONS} -- $<TARGET_FILE:${arg_PROGRAM}>.so ${arg_ARGS})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine_session RESOURCE_LOCK wine_session LABELS wine
        TIMEOUT ${ctest_timeout} ${arg_PROPERTIES})
endfunction()

# The harness itself: a run that ends badly is a failed run, not an answer,
# even when it leaves exit code 1 behind.
add_executable(misbehave ${CMAKE_CURRENT_LIST_DIR}/misbehave.cpp)
target_compile_options(misbehave PRIVATE ${BLENDPROBE_WARNINGS})
target_link_options(misbehave PRIVATE -mwindows)

foreach(misbehaviour crash throw)
    blendprobe_add_wine_test(wine_harness_reports_${misbehaviour}_as_crash
        PROGRAM misbehave ARGS ${misbehaviour}
        RUN_OPTIONS --expect-exit 1
        PROPERTIES PASS_REGULAR_EXPRESSION "HARNESS FAILURE: the program crashed")
endforeach()
blendprobe_add_wine_test(wine_harness_reports_hang_as_timeout
    PROGRAM misbehave ARGS hang TIMEOUT 2
    RUN_OPTIONS --expect-exit 1
    PROPERTIES PASS_REGULAR_EXPRESSION "HARNESS FAILURE: the program did not end within 2")
