# The host database layer: the small database interface and its
# implementation over our Jet engine (dbjet, also what the DAO stand-in of
# the tests answers from), the one over DAO, and the program's reads
# (ApriDatabase, account list, data version).
add_library(dbjet STATIC ${CMAKE_CURRENT_LIST_DIR}/DatabaseJet.cpp)
target_link_libraries(dbjet PUBLIC jet uxutil)

add_library(dbaccess STATIC ${CMAKE_CURRENT_LIST_DIR}/AccessoDati.cpp)
target_link_libraries(dbaccess PUBLIC dbjet)
if(WIN32)
    # DAO through COM, late bound, with the foundation's COM owners.
    target_sources(dbaccess PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DatabaseDao_win32.cpp)
    target_link_libraries(dbaccess PUBLIC uxutil ole32 oleaut32)
else()
    target_sources(dbaccess PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DatabaseDao_native.cpp)
endif()
