cmake_minimum_required(VERSION 3.21)
# Fails unless the export table of the Windows DLL MODULE names exactly the
# functions in EXPECTED (separated by commas), undecorated, and the DLL
# imports nothing but system libraries, so it loads on a machine without the
# compiler's runtime.
#   cmake -DOBJDUMP=... -DMODULE=x.dll -DEXPECTED=a,b -P checkexports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${MODULE}")
endif()

# The names follow the "[Ordinal/Name Pointer] Table" heading, one
# "[ index] name" per line, up to the next blank line.
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
foreach(import ${imports})
    string(REGEX REPLACE "^DLL Name: " "" library "${import}")
    string(TOLOWER "${library}" library)
    if(NOT library MATCHES "^(kernel32|user32|advapi32|msvcrt|ucrtbase|api-ms-win-.*)\\.dll$")
        message(FATAL_ERROR "${MODULE} depends on ${library}")
    endif()
endforeach()
message(STATUS "${MODULE}: exports ${names}")
