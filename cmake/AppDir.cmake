# The application directory: both programs, the modules they load and every
# data file they read, side by side, since the programs find them next to
# their own executable. The build lays it out in KIDRILL_APP_DIR and
# installing copies it to KIDRILL_INSTALL_APP_DIR. Everything goes in through
# the functions below, so that the build tree, `make install` and the package
# hold the same files: adding a file is one line where its target is made.
#
# The Debian packages named by DEPENDS and RECOMMENDS are what a program or
# module needs at run time beyond the libraries it links (those the package
# finds itself): fonts, a sound server, plugins Qt loads by name.

set(KIDRILL_APP_DIR ${CMAKE_BINARY_DIR}/app)

function(_kidrill_package_needs)
    cmake_parse_arguments(arg "" "" "DEPENDS;RECOMMENDS" ${ARGN})
    set_property(GLOBAL APPEND PROPERTY KIDRILL_PACKAGE_DEPENDS ${arg_DEPENDS})
    set_property(GLOBAL APPEND PROPERTY KIDRILL_PACKAGE_RECOMMENDS ${arg_RECOMMENDS})
endfunction()

# kidrill_app_program(<target> [DEPENDS <package>...] [RECOMMENDS <package>...]):
# a program, with a launcher in bin/ and the manual page data/man/<target>.1.
function(kidrill_app_program target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KIDRILL_APP_DIR})
    install(TARGETS ${target} RUNTIME DESTINATION ${KIDRILL_INSTALL_APP_DIR})
    set_property(GLOBAL APPEND PROPERTY KIDRILL_APP_PROGRAMS ${target})
    _kidrill_package_needs(${ARGN})
endfunction()

# kidrill_app_module(<target> [DEPENDS <package>...] [RECOMMENDS <package>...]):
# a MODULE library that a program loads by name from its directory.
function(kidrill_app_module target)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${KIDRILL_APP_DIR})
    install(TARGETS ${target} LIBRARY DESTINATION ${KIDRILL_INSTALL_APP_DIR})
    _kidrill_package_needs(${ARGN})
endfunction()

# kidrill_app_data(<target> <file>...): data files, built by <target> (which
# it makes). A relative name is a file of the calling source directory,
# copied in as it stands; an absolute one is a file in KIDRILL_APP_DIR that a
# custom command of the calling directory generates.
function(kidrill_app_data target)
    set(outputs)
    foreach(file ${ARGN})
        if(IS_ABSOLUTE ${file})
            list(APPEND outputs ${file})
            continue()
        endif()
        get_filename_component(name ${file} NAME)
        add_custom_command(
            OUTPUT ${KIDRILL_APP_DIR}/${name}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${KIDRILL_APP_DIR}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/${file} ${KIDRILL_APP_DIR}/${name}
            DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${file}
            VERBATIM)
        list(APPEND outputs ${KIDRILL_APP_DIR}/${name})
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
    install(FILES ${outputs} DESTINATION ${KIDRILL_INSTALL_APP_DIR})
endfunction()
