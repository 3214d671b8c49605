# The probe's render target as Wine renders it, against the stand-in's
# rendering of the same frame: every channel of every pixel within 2.
# The stand-in's render_dump comes from the standin preset's build, which
# `make test` builds before this one.
include(${CMAKE_CURRENT_LIST_DIR}/harness.cmake)

add_executable(render_dump ${CMAKE_SOURCE_DIR}/tests/render_dump/render_dump.cpp)
target_compile_options(render_dump PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(render_dump PRIVATE blendprobe_system blendprobe_resources)
set_target_properties(render_dump PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/render_dump)

set(standin_render_dump ${CMAKE_SOURCE_DIR}/build/standin/tests/render_dump/render_dump)
add_test(NAME wine_probe_target_matches_the_standin_within_2_per_channel
         COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/render_dump/compare_dumps.py
                 --standin ${standin_render_dump} --wine $<TARGET_FILE:render_dump>.so
                 --harness ${BLENDPROBE_WINE_HARNESS} --session ${BLENDPROBE_WINE_SESSION} --tolerance 2)
set_tests_properties(wine_probe_target_matches_the_standin_within_2_per_channel PROPERTIES
    FIXTURES_REQUIRED wine_session RESOURCE_LOCK wine_session LABELS wine TIMEOUT 300)
