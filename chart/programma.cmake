# Trevalto.exe: the window, its resources and the program. Windows only.
if(NOT WIN32)
    return()
endif()

# The icons come from pixel art in tools/GeneraIcone.cpp, compiled and run
# on the build machine with its own compiler.
find_program(TREVALTO_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(_icone_dir ${CMAKE_CURRENT_BINARY_DIR}/icone)
set(_generatore ${CMAKE_CURRENT_BINARY_DIR}/GeneraIcone)
set(_icone trevalto nuovo apri salva appunti annulla immagine stampante guida elabora interrompi)
foreach(i nuovo apri salva appunti annulla immagine stampante guida)
    list(APPEND _icone ${i}_grigio)
endforeach()
list(TRANSFORM _icone PREPEND ${_icone_dir}/ OUTPUT_VARIABLE _file_icone)
list(TRANSFORM _file_icone APPEND .ico)
add_custom_command(
    OUTPUT ${_file_icone}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_icone_dir}
    COMMAND ${TREVALTO_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -o ${_generatore}
            ${CMAKE_CURRENT_SOURCE_DIR}/tools/GeneraIcone.cpp
    COMMAND ${_generatore} ${_icone_dir}
    DEPENDS tools/GeneraIcone.cpp
    COMMENT "Icons of Trevalto")

# The manifest names the program's own architecture; the common controls 6
# it depends on are those of whatever architecture the program is ("*"):
# a 64-bit program asking for the x86 ones gets none and falls back to the
# old controls, without image lists on its buttons.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TREVALTO_ARCH_MANIFEST amd64)
else()
    set(TREVALTO_ARCH_MANIFEST x86)
endif()
set(_manifest_dir ${CMAKE_CURRENT_BINARY_DIR}/manifest)
configure_file(Trevalto.manifest.in ${_manifest_dir}/Trevalto.manifest @ONLY)

# The resources (icons, manifest) as objects of their own: the program and
# the window's tests both carry them.
add_library(trevalto_risorse OBJECT Trevalto.rc)
target_include_directories(trevalto_risorse PRIVATE ${_icone_dir} ${_manifest_dir}
                                                    ${CMAKE_CURRENT_SOURCE_DIR})
set_source_files_properties(Trevalto.rc PROPERTIES
    OBJECT_DEPENDS "${_file_icone};${_manifest_dir}/Trevalto.manifest;${CMAKE_CURRENT_SOURCE_DIR}/RisorseTrevalto.h")

# The window, its tables of controls and commands, put together with the
# chart, the run, the start-up and the chart's commands.
add_library(programma STATIC FrmMain_win32.cpp ComandiFrmMain_win32.cpp Programma_win32.cpp)
target_link_libraries(programma PUBLIC avvio comandi chartcore uxutil comctl32 gdi32 user32)

add_executable(Trevalto WIN32 Trevalto_win32.cpp)
target_link_libraries(Trevalto PRIVATE programma trevalto_risorse ole32)
trevalto_version_resource(Trevalto VERSION ${TREVALTO_VERSIONE_FILE} TEXT ${TREVALTO_VERSIONE_TESTO}
                          DESCRIPTION "Grafico Trevalto Saldo"
                          PRODUCT "Grafico Trevalto Saldo")

# The help page beside the program.
set(_leggimi ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Leggimi.htm)
add_custom_command(
    OUTPUT ${_leggimi}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/Leggimi.htm ${_leggimi}
    DEPENDS Leggimi.htm)
add_custom_target(trevalto_leggimi ALL DEPENDS ${_leggimi})
add_dependencies(Trevalto trevalto_leggimi)
