# The host database layer: the small database interface, its implementation
# over our Jet engine, and the program's reads (ApriDatabase, account list,
# data version).
add_library(dbaccess STATIC
    ${CMAKE_CURRENT_LIST_DIR}/AccessoDati.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DatabaseJet.cpp
)
target_link_libraries(dbaccess PUBLIC jet uxutil)
