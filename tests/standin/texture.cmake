# Textures and their manager on the stand-in device, with the program's own
# resources linked in.
add_executable(texture_tests
    ${CMAKE_CURRENT_LIST_DIR}/texture_fixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/texture_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/texmanager_test.cpp
)
target_compile_options(texture_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(texture_tests PRIVATE blendprobe_system blendprobe_resources GTest::gtest_main)
gtest_discover_tests(texture_tests PROPERTIES LABELS standin)
