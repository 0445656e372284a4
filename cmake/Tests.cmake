# Test helpers shared by every test folder.
#
# trevalto_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [WINE_ONLY])
#   Builds a GoogleTest program. Natively each test case becomes a ctest test;
#   in the win32 tree the whole program is one ctest test, run under Wine
#   (one Wine process per program is much cheaper than one per case) inside
#   the "wine" fixture, which owns the Xvfb display, the persistent wineserver
#   and the test prefix.

include(GoogleTest)

if(WIN32)
    set(TREVALTO_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
    # The prefix matches the tree: 32-bit programs in a 32-bit prefix, 64-bit
    # ones in a 64-bit prefix.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(TREVALTO_WINE_ARCH win64)
    else()
        set(TREVALTO_WINE_ARCH win32)
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    add_test(NAME wine_setup COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh setup
                                     ${TREVALTO_WINE_DIR} ${TREVALTO_WINE_ARCH})
    add_test(NAME wine_teardown COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh teardown
                                        ${TREVALTO_WINE_DIR} ${TREVALTO_WINE_ARCH})
    set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
    set_tests_properties(wine_teardown PROPERTIES FIXTURES_CLEANUP wine)
endif()

function(trevalto_test)
    cmake_parse_arguments(T "WINE_ONLY" "NAME" "SOURCES;LIBS" ${ARGN})
    if(TREVALTO_FUZZ OR (T_WINE_ONLY AND NOT WIN32))
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gmock gtest_main)
    if(WIN32)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
        set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 900
                             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    else()
        gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
                             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    endif()
endfunction()

# trevalto_fuzz(NAME <name> SOURCES <files...> [LIBS <targets...>] [SECONDS n]
#               [SEEDS <files...>])
#   A libFuzzer target (a function LLVMFuzzerTestOneInput). Built only in the
#   fuzz tree (TREVALTO_FUZZ, clang), where it also becomes a ctest test that
#   runs it for a short time from its corpus folder, seeded with the SEEDS
#   files (copied there at configure time); a finding fails the test.
#   For a long run: build/fuzz/bin/<name> -max_total_time=3600 CORPUS_DIR
#   (the corpus folder is build/fuzz/<folder>/<name>_corpus).
function(trevalto_fuzz)
    cmake_parse_arguments(F "" "NAME;SECONDS" "SOURCES;LIBS;SEEDS" ${ARGN})
    if(NOT TREVALTO_FUZZ)
        return()
    endif()
    if(NOT F_SECONDS)
        set(F_SECONDS 20)
    endif()
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set(_corpus ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_corpus)
    file(MAKE_DIRECTORY ${_corpus})
    foreach(_seme ${F_SEEDS})
        if(NOT EXISTS ${_seme})
            message(FATAL_ERROR "seed of ${F_NAME} missing: ${_seme}")
        endif()
        # Named by their folder too: samples of both versions share names.
        get_filename_component(_cartella ${_seme} DIRECTORY)
        get_filename_component(_cartella ${_cartella} NAME)
        get_filename_component(_nome ${_seme} NAME)
        configure_file(${_seme} ${_corpus}/seed-${_cartella}-${_nome} COPYONLY)
    endforeach()
    add_test(NAME ${F_NAME}
             COMMAND ${F_NAME} -max_total_time=${F_SECONDS} -timeout=10 -rss_limit_mb=2048
                     -print_final_stats=1 ${_corpus})
    set_tests_properties(${F_NAME} PROPERTIES TIMEOUT 300)
endfunction()
