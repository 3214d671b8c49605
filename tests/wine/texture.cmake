# Textures on Wine's own device, loaded from the program's own resources and
# read back by Lock. The test program carries one image more, with mip levels
# of its own, in a resource script of its own.
include(${CMAKE_CURRENT_LIST_DIR}/harness.cmake)

set(texture_wine_res ${CMAKE_CURRENT_BINARY_DIR}/texture_wine.res)
add_custom_command(
    OUTPUT ${texture_wine_res}
    COMMAND ${WRC_EXECUTABLE} -I${CMAKE_CURRENT_LIST_DIR} -o ${texture_wine_res}
            ${CMAKE_CURRENT_LIST_DIR}/texture_wine.rc
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/texture_wine.rc ${CMAKE_CURRENT_LIST_DIR}/texture_mip4x4.dds
    COMMENT "Compiling the texture test's resource script"
    VERBATIM)
add_custom_target(texture_wine_resources DEPENDS ${texture_wine_res})

add_executable(texture_wine ${CMAKE_CURRENT_LIST_DIR}/texture_wine.cpp)
target_compile_options(texture_wine PRIVATE ${BLENDPROBE_WARNINGS})
add_dependencies(texture_wine texture_wine_resources)
target_link_libraries(texture_wine PRIVATE blendprobe_system blendprobe_resources ${texture_wine_res})
set_property(TARGET texture_wine APPEND PROPERTY LINK_DEPENDS ${texture_wine_res})

blendprobe_add_wine_test(wine_textures_load_from_own_resources_on_the_real_device
    PROGRAM texture_wine
    RUN_OPTIONS --expect-exit 0
                "--expect-output=^ok: texel \\(0, 0\\) is red$"
                "--expect-output=^ok: its own Z-buffer is attached$"
                "--expect-output=^ok: the 4 x 4 image's own levels fill 2 x 2 and 1 x 1$")
