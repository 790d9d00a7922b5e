# g++ turns UTF-8 string literals into CP932 bytes with -fexec-charset. Clang has no
# such option, so for clang each source is first rewritten with its non-ASCII string
# literal characters spelled as CP932 byte escapes; the compiler sees the same bytes.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(paiview_cp932_sources out_var)
    set(result)
    foreach(src IN LISTS ARGN)
        get_filename_component(abs "${src}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
        if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND abs MATCHES "\\.cpp$")
            file(RELATIVE_PATH rel "${CMAKE_SOURCE_DIR}" "${abs}")
            set(gen "${CMAKE_BINARY_DIR}/cp932/${rel}")
            add_custom_command(
                OUTPUT "${gen}"
                COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/cp932_literals.py
                        "${abs}" "${gen}"
                DEPENDS "${abs}" ${CMAKE_SOURCE_DIR}/scripts/cp932_literals.py
                VERBATIM)
            # The copy lives elsewhere: "header.h" must still be found beside the original.
            get_filename_component(src_dir "${abs}" DIRECTORY)
            set_source_files_properties("${gen}" PROPERTIES INCLUDE_DIRECTORIES "${src_dir}")
            list(APPEND result "${gen}")
        else()
            list(APPEND result "${abs}")
        endif()
    endforeach()
    set(${out_var} ${result} PARENT_SCOPE)
endfunction()
