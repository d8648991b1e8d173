# Fails unless the dynamic symbol table of MODULE defines exactly the symbols
# of EXPORTS (comma-separated), besides the linker's own section markers.
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only -j ${MODULE} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
string(REGEX MATCHALL "[^\n]+" names "${out}")
list(REMOVE_ITEM names _init _fini _edata _end __bss_start)
string(REPLACE "," ";" expected "${EXPORTS}")
list(SORT names)
list(SORT expected)
if(NOT rc EQUAL 0 OR NOT names STREQUAL expected)
    message(FATAL_ERROR "${MODULE} exports: ${names}")
endif()
