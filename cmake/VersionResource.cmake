# The project's version (top-level project()) as the deliverables carry it:
# the four fields of a version resource, and the text their version
# strings show, the major version and two digits of the minor ("1.00").
set(TREVALTO_VERSIONE_FILE "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
if(PROJECT_VERSION_MINOR LESS 10)
    set(TREVALTO_VERSIONE_TESTO "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
    set(TREVALTO_VERSIONE_TESTO "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()

# trevalto_version_resource(<target> VERSION a.b.c.d DESCRIPTION <text>
#                           [TEXT <version text>] [PRODUCT_VERSION a.b.c.d]
#                           [ORIGINAL_NAME <file>] [PRODUCT <name>])
# TEXT is the version as the file's texts show it (default: VERSION).
# Adds a version resource to a Windows target. The texts are written in the
# .rc file as they are given; windres reads them in code page 1252.
set(_trevalto_version_template ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)

function(trevalto_version_resource target)
    cmake_parse_arguments(V "" "VERSION;TEXT;DESCRIPTION;PRODUCT_VERSION;ORIGINAL_NAME;PRODUCT" ""
                          ${ARGN})
    if(NOT V_PRODUCT_VERSION)
        set(V_PRODUCT_VERSION ${V_VERSION})
    endif()
    if(NOT V_ORIGINAL_NAME)
        get_target_property(_type ${target} TYPE)
        if(_type STREQUAL "EXECUTABLE")
            set(V_ORIGINAL_NAME "${target}.exe")
        else()
            set(V_ORIGINAL_NAME "${target}.dll")
        endif()
    endif()
    get_target_property(_type ${target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
        set(FILE_TYPE VFT_APP)
    else()
        set(FILE_TYPE VFT_DLL)
    endif()
    if(NOT V_TEXT)
        set(V_TEXT ${V_VERSION})
    endif()
    if(NOT V_PRODUCT)
        set(V_PRODUCT "${target}")
    endif()
    string(REPLACE "." "," VERSION_COMMAS "${V_VERSION}")
    string(REPLACE "." "," PRODUCT_VERSION_COMMAS "${V_PRODUCT_VERSION}")
    set(VERSION_TEXT "${V_TEXT}")
    set(PRODUCT_VERSION_TEXT "${V_PRODUCT_VERSION}")
    set(DESCRIPTION "${V_DESCRIPTION}")
    set(ORIGINAL_NAME "${V_ORIGINAL_NAME}")
    set(PRODUCT "${V_PRODUCT}")
    set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${_trevalto_version_template} ${_rc} @ONLY)
    target_sources(${target} PRIVATE ${_rc})
endfunction()
