# The probe's frame dumped to a file on the stand-in, for the Wine test that
# compares it with Wine's rendering (tests/wine/render_dump.cmake).
add_executable(render_dump ${CMAKE_SOURCE_DIR}/tests/render_dump/render_dump.cpp)
target_compile_options(render_dump PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(render_dump PRIVATE blendprobe_system blendprobe_resources standin_main)
set_target_properties(render_dump PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/render_dump)
