# The program's database layer over the engine: opening with the host's
# password, record sets, the account list and the data-version check.
trevalto_test(NAME database_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/database_test.cpp
    LIBS dbaccess chartcore)
