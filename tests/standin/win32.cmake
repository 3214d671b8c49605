# The stand-in Win32: window manager, message queue, GDI, cursor, clocks,
# resources and the program desktop.
add_executable(standin_win32_tests
    ${CMAKE_CURRENT_LIST_DIR}/win32_windows_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32_messages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32_system_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32_program_desktop_test.cpp
)
target_compile_options(standin_win32_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(standin_win32_tests PRIVATE standin_win32 GTest::gtest_main)
gtest_discover_tests(standin_win32_tests PROPERTIES LABELS standin)
