# The probe on the stand-in: the real CBlendProbeApp with the program's own
# images, run from Run or from WinMain, its frame rendered by the reference
# rasterizer (or, where a test says so, by a scripted one).
#
# The framework tests' support is reused: its fixture gives each test a
# fresh desktop and runtime and answers the console when it waits.
add_executable(probe_tests
    ${app_test_support}
    ${CMAKE_CURRENT_LIST_DIR}/dx6_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_hooks_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_render_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_failure_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_combine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/probe_save_target_test.cpp
    ${CMAKE_SOURCE_DIR}/probe/winmain.cpp
)
target_compile_options(probe_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(probe_tests PRIVATE blendprobe_system blendprobe_resources GTest::gtest_main)
gtest_discover_tests(probe_tests PROPERTIES LABELS standin)

# The program itself, as a caller runs it: no terminal, so the console of a
# failed run would close at once; a passing run exits 0.
add_test(NAME blendprobe.program_exits_zero
         COMMAND sh -c "exec \"$1\" < /dev/null" sh $<TARGET_FILE:blendprobe>)
set_tests_properties(blendprobe.program_exits_zero PROPERTIES LABELS standin)
