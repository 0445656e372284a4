# The stand-in host's data: the template and the demo database, written by
# the Jet writer; crea_host writes them into a folder.
add_library(datidemo STATIC ${CMAKE_CURRENT_LIST_DIR}/DatiDemo.cpp)
target_link_libraries(datidemo PUBLIC jet uxutil)
add_executable(crea_host ${CMAKE_CURRENT_LIST_DIR}/crea_host.cpp)
target_link_libraries(crea_host PRIVATE datidemo)
