# The reference rasterizer, checked pixel by pixel against values worked out
# by hand.
set(raster_test_sources
    ${CMAKE_CURRENT_LIST_DIR}/raster_probe_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_rounding_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_combine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_blend_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_coverage_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_interpolation_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_sample_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_depth_test.cpp)

add_executable(raster_tests ${raster_test_sources})
target_include_directories(raster_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(raster_tests PRIVATE standin_raster GTest::gtest_main)
target_compile_options(raster_tests PRIVATE ${BLENDPROBE_WARNINGS})
gtest_discover_tests(raster_tests PROPERTIES LABELS standin)
