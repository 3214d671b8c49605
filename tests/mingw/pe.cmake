# The Windows program cannot run here (no Windows, no DevIL for Windows):
# what can be checked is the file Windows would load, a GUI program for
# x86_64 that needs only Windows' DLLs and DevIL's, carrying its two images.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(BLENDPROBE_OBJDUMP NAMES ${MINGW_PREFIX}-objdump REQUIRED)

add_test(NAME mingw_program_is_a_gui_pe_with_its_dlls_and_images
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/pe_check.py
                 --objdump ${BLENDPROBE_OBJDUMP} --windres ${CMAKE_RC_COMPILER}
                 $<TARGET_FILE:blendprobe>
                 JPG/101=${CMAKE_SOURCE_DIR}/resources/target01.bmp
                 JPG/102=${CMAKE_SOURCE_DIR}/resources/empty.dds)
set_tests_properties(mingw_program_is_a_gui_pe_with_its_dlls_and_images PROPERTIES LABELS mingw)
