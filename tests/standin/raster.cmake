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
    ${CMAKE_CURRENT_LIST_DIR}/raster_depth_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_pixels_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster_draw_test.cpp)

add_executable(raster_tests ${raster_test_sources})
target_include_directories(raster_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(raster_tests PRIVATE standin_raster GTest::gtest_main)
target_compile_options(raster_tests PRIVATE ${BLENDPROBE_WARNINGS})
gtest_discover_tests(raster_tests TEST_PREFIX "raster." PROPERTIES LABELS standin)

# The same tests over the same sources built with AddressSanitizer and
# UBSan (float-to-integer overflow and division by zero included), so that
# a garbage vertex that reads or writes out of bounds, overflows a
# conversion or divides by zero fails its test instead of passing by luck.
set(raster_sanitizers -fsanitize=address,undefined,float-cast-overflow,float-divide-by-zero
    -fno-sanitize-recover=all)
include(CheckCXXSourceCompiles)
list(JOIN raster_sanitizers " " raster_sanitizer_flags)
set(CMAKE_REQUIRED_FLAGS "${raster_sanitizer_flags}")
set(CMAKE_REQUIRED_LINK_OPTIONS ${raster_sanitizers})
check_cxx_source_compiles("int main() { return 0; }" BLENDPROBE_HAVE_SANITIZERS)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(BLENDPROBE_HAVE_SANITIZERS)
    get_target_property(raster_sources standin_raster SOURCES)
    get_target_property(raster_dir standin_raster SOURCE_DIR)
    list(TRANSFORM raster_sources PREPEND ${raster_dir}/)
    add_executable(raster_tests_sanitized ${raster_sources} ${raster_test_sources})
    target_include_directories(raster_tests_sanitized PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(raster_tests_sanitized PRIVATE GTest::gtest_main)
    target_compile_options(raster_tests_sanitized PRIVATE ${BLENDPROBE_WARNINGS} ${raster_sanitizers}
                           -fno-omit-frame-pointer)
    target_link_options(raster_tests_sanitized PRIVATE ${raster_sanitizers})
    gtest_discover_tests(raster_tests_sanitized TEST_PREFIX "raster.sanitized." PROPERTIES LABELS standin)
endif()
