cmake_minimum_required(VERSION 3.21)
# Fails unless the DLL MODULE exports exactly EXPECTED (comma-separated),
# undecorated, and imports only system DLLs (it loads without the compiler's
# runtime).
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
# "[ index] name" lines follow the "[Ordinal/Name Pointer] Table" heading.
set(names "")
if(dump MATCHES "Name Pointer\\] Table\n(([ \t]+\\[ *[0-9]+\\] [^\n]+\n)*)")
    string(REGEX REPLACE "[ \t]+\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" names "${CMAKE_MATCH_1}")
    list(REMOVE_ITEM names "")
endif()
string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT names)
list(SORT expected)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "${MODULE} exports [${names}], expected [${expected}]")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
string(TOLOWER "${imports}" imports)
foreach(import ${imports})
    if(NOT import MATCHES "^dll name: (kernel32|user32|advapi32|msvcrt|ucrtbase|api-ms-win-.*)\\.dll$")
        message(FATAL_ERROR "${MODULE} depends on ${import}")
    endif()
endforeach()
