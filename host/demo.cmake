# The host's tables with rows, for the stand-in host and the tests: the
# database layer's schema (database/DatabaseQuandora.h) written by the Jet
# writer.
add_library(schemahost STATIC ${CMAKE_CURRENT_LIST_DIR}/SchemaHost.cpp)
target_link_libraries(schemahost PUBLIC jetscrittore uxutil)

# The stand-in host's data: the template and the demo database; crea_host
# writes them into a folder.
add_library(datidemo STATIC ${CMAKE_CURRENT_LIST_DIR}/DatiDemo.cpp)
target_link_libraries(datidemo PUBLIC schemahost)
add_executable(crea_host ${CMAKE_CURRENT_LIST_DIR}/crea_host.cpp)
target_link_libraries(crea_host PRIVATE datidemo)
