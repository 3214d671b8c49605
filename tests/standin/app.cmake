# The application framework (run loop, window procedures, log console) and
# the device layer (setup, teardown and restore, frame timer, presentation)
# on the stand-in platform.
#
# Both executables replace the global operator new to count allocations.
set(app_test_support
    ${CMAKE_CURRENT_LIST_DIR}/app_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_alloc_counter.cpp
)

add_executable(app_tests
    ${app_test_support}
    ${CMAKE_CURRENT_LIST_DIR}/app_run_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_wndproc_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_console_test.cpp
)
add_executable(device_tests
    ${app_test_support}
    ${CMAKE_CURRENT_LIST_DIR}/device_setup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_teardown_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_frame_test.cpp
)
foreach(target app_tests device_tests)
    target_compile_options(${target} PRIVATE ${BLENDPROBE_WARNINGS})
    target_link_libraries(${target} PRIVATE blendprobe_system GTest::gtest_main)
    gtest_discover_tests(${target} PROPERTIES LABELS standin)
endforeach()
