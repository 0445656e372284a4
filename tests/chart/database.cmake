# The program's database layer over the engine: opening with the host's
# password, record sets, the account list and the data-version check.
trevalto_test(NAME database_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/database_test.cpp
    LIBS dbaccess chartcore schemahost)

if(WIN32)
    # A database held without sharing by another process (tieni_file).
    add_executable(tieni_file ${CMAKE_CURRENT_LIST_DIR}/tieni_file_win32.cpp)
    trevalto_test(NAME bloccato_win32_test WINE_ONLY
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/bloccato_win32_test.cpp
        LIBS dbaccess schemahost)
    add_dependencies(bloccato_win32_test tieni_file)
endif()
