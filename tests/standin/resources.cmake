# The embedded test images: their bytes, and the program's resources that
# carry them.
add_executable(resources_tests
    ${CMAKE_CURRENT_LIST_DIR}/resources_images_test.cpp
)
target_compile_options(resources_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_compile_definitions(resources_tests PRIVATE
    BLENDPROBE_RESOURCES_DIR="${CMAKE_SOURCE_DIR}/resources")
target_link_libraries(resources_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(resources_tests PROPERTIES LABELS standin)

add_executable(resources_embedded_tests
    ${CMAKE_CURRENT_LIST_DIR}/resources_embedded_test.cpp
)
target_compile_options(resources_embedded_tests PRIVATE ${BLENDPROBE_WARNINGS})
target_compile_definitions(resources_embedded_tests PRIVATE
    BLENDPROBE_RESOURCES_DIR="${CMAKE_SOURCE_DIR}/resources")
target_link_libraries(resources_embedded_tests PRIVATE standin_platform blendprobe_resources GTest::gtest_main)
gtest_discover_tests(resources_embedded_tests PROPERTIES LABELS standin)
