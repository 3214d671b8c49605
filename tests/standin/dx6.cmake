# The stand-in DirectX 6 object model, tested through its COM interfaces and
# the runtime's test control.
add_executable(dx6_tests
    ${CMAKE_CURRENT_LIST_DIR}/dx6_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dx6_lifetime_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dx6_control_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dx6_surface_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dx6_device_test.cpp
)
target_compile_options(dx6_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(dx6_tests PRIVATE standin_dx6 standin_win32 GTest::gtest_main)
gtest_discover_tests(dx6_tests PROPERTIES LABELS standin)
