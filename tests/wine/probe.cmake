# The blendprobe program itself on Wine: Wine's OpenGL renderer blends as
# the probe expects; without a 3D renderer the device cannot come up, and
# the log console, read from the window itself, waits for Esc.
include(${CMAKE_CURRENT_LIST_DIR}/harness.cmake)

blendprobe_add_wine_test(wine_probe_passes_on_the_default_renderer
    PROGRAM blendprobe
    RUN_OPTIONS --expect-exit 0)

blendprobe_add_wine_test(wine_probe_without_3d_shows_its_log_until_escape_and_fails
    PROGRAM blendprobe
    RUN_OPTIONS --renderer no3d --window Console --key Escape --expect-exit 1
                "--expect-window-text=^> Device initializing\\.\\.\\.$"
                "--expect-window-text=^ERROR: while Back-Buffer creating\\nERROR: while device initializing process$"
                "--expect-window-text=^> Device deleting\\.\\.\\. done$")

# What `make probe` runs: tools/probe.py with a Wine prefix of its own in a
# cache folder of the test's, on a private Xvfb or on a display it is given.
add_test(NAME wine_make_probe_runner
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/probe_runner_test.py
                 $<TARGET_FILE:blendprobe>.so $<TARGET_FILE:window_text>.so $<TARGET_FILE:misbehave>.so)
set_tests_properties(wine_make_probe_runner PROPERTIES LABELS wine TIMEOUT 400)
