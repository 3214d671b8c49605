# The framework brings up the device on Wine and presents a frame; when Wine
# has no 3D renderer, InitDevice fails and the log console waits for Esc.
include(${CMAKE_CURRENT_LIST_DIR}/harness.cmake)

add_executable(device_smoke ${CMAKE_CURRENT_LIST_DIR}/device_smoke.cpp)
target_compile_options(device_smoke PRIVATE ${BLENDPROBE_WARNINGS})
target_link_libraries(device_smoke PRIVATE blendprobe_system)

blendprobe_add_wine_test(wine_device_comes_up_and_presents_one_frame
    PROGRAM device_smoke
    RUN_OPTIONS --expect-exit 0)

blendprobe_add_wine_test(wine_device_failure_shows_console_until_escape
    PROGRAM device_smoke
    RUN_OPTIONS --renderer no3d --window Console --key Escape --expect-exit 1
                "--expect-output=^ERROR: while Back-Buffer creating$"
                "--expect-output=^ERROR: while device initializing process$")
