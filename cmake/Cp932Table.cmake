# The CP932 <-> Unicode tables of text/Cp932Table.cpp, written at build time by
# scripts/cp932_table.py from the build host's glibc iconv "CP932" (also when the
# target is WebAssembly, whose own iconv has no CP932).
set(PAIVIEW_CP932_TABLE_DATA ${CMAKE_BINARY_DIR}/generated/text/Cp932TableData.cpp)
add_custom_command(
    OUTPUT ${PAIVIEW_CP932_TABLE_DATA}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/text
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/cp932_table.py
            ${PAIVIEW_CP932_TABLE_DATA}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/cp932_table.py
    COMMENT "Generating the CP932 tables from glibc's iconv"
    VERBATIM)
paiview_cp932_sources(cp932_table_src text/Cp932Table.cpp)
add_library(paiview_cp932_table STATIC ${cp932_table_src} ${PAIVIEW_CP932_TABLE_DATA})
target_include_directories(paiview_cp932_table PUBLIC ${CMAKE_SOURCE_DIR})
