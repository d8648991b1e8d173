# Libraries install into lib/<multiarch> where the toolchain names one (as
# Debian does), whatever the prefix.
if(UNIX AND CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CMAKE_INSTALL_LIBDIR)
    set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (LIBDIR)")
endif()
include(GNUInstallDirs)
# The dialog library, its companion modules and its translations install into
# one private directory: the library finds the modules and the translations
# beside itself, and nothing else on the system sees them.
set(VL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/veltrano-mpa)
# The modules' global list, filled by vl_add_module.
set_property(GLOBAL PROPERTY VL_COMPANION_MODULES "")

# vl_add_module(<name> SOURCES ... EXPORTS <symbol>...): a companion module
# loaded at run time by file name, so it is called "<name>.so" ("<name>.dll"
# on Windows, no "lib" prefix). Its sources mark the EXPORTS VL_EXPORT, which
# is all a DLL exports; on ELF a version script also keeps the C++ library's
# template instances and unique symbols local, so nothing but the entry points
# leaves the module. The target property VL_EXPORTS names them for the tests.
function(vl_add_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;EXPORTS" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ${CMAKE_SHARED_MODULE_SUFFIX} VL_EXPORTS "${ARG_EXPORTS}")
    set_property(GLOBAL APPEND PROPERTY VL_COMPANION_MODULES ${name})
    if(NOT WIN32)
        list(JOIN ARG_EXPORTS "; " globals)
        set(map ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
        file(CONFIGURE OUTPUT ${map} CONTENT "{\n    global: ${globals};\n    local: *;\n};\n")
        target_link_options(${name} PRIVATE -Wl,--version-script=${map})
        set_target_properties(${name} PROPERTIES LINK_DEPENDS ${map})
    endif()
    target_compile_definitions(${name} PRIVATE VL_DECLARE_MODULE_ENTRY_POINTS)
    target_link_libraries(${name} PRIVATE veltrano::headers ${ARG_LIBRARIES})
    if(NOT VL_SANITIZE)
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    install(TARGETS ${name} LIBRARY DESTINATION ${VL_PRIVATE_LIBDIR})
endfunction()
