# The stand-in platform: our own Win32 and DirectX 6, linked in-process.
target_compile_definitions(blendprobe_system PUBLIC BLENDPROBE_STANDIN)
add_subdirectory(standin)
target_link_libraries(blendprobe_system PUBLIC standin_platform)
