include(GNUInstallDirs)
# vl_add_module(<name> SOURCES ...): a companion module loaded at run time by
# file name, so it is called "<name>.so" (no "lib" prefix) and exports only
# what its sources mark VL_EXPORT.
function(vl_add_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_library(${name} MODULE ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so")
    target_compile_definitions(${name} PRIVATE VL_DECLARE_MODULE_ENTRY_POINTS)
    target_link_libraries(${name} PRIVATE veltrano::headers ${ARG_LIBRARIES})
    if(NOT VL_SANITIZE)
        target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    install(TARGETS ${name} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/veltrano)
endfunction()
