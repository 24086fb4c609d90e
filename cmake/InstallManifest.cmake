# What `make install` made, kept beside the programs so that `make
# uninstall` needs no build tree: the files installed, and the directories
# the install created, which uninstalling removes again once they are empty
# (an earlier install's are kept). A package has dpkg's lists instead.

# First of the install rules: which of the install's directories are new.
function(kidrill_install_manifest_begin)
    if(KIDRILL_DEB)
        return()
    endif()
    set(dirs bin share share/applications share/icons share/icons/hicolor share/icons/hicolor/scalable
        share/icons/hicolor/scalable/apps share/man share/man/man1 share/metainfo ${KIDRILL_INSTALL_APP_DIR})
    foreach(size ${KIDRILL_ICON_SIZES})
        list(APPEND dirs share/icons/hicolor/${size}x${size} share/icons/hicolor/${size}x${size}/apps)
    endforeach()
    install(CODE "
        set(made_dirs_list \"\${CMAKE_INSTALL_PREFIX}/${KIDRILL_INSTALL_APP_DIR}/installed-directories.txt\")
        set(made_dirs)
        if(EXISTS \"\${made_dirs_list}\")
            file(STRINGS \"\${made_dirs_list}\" made_dirs)
        endif()
        foreach(dir \"\" ${dirs})
            if(NOT EXISTS \"\${CMAKE_INSTALL_PREFIX}/\${dir}\")
                list(APPEND made_dirs \"\${CMAKE_INSTALL_PREFIX}/\${dir}\")
            endif()
        endforeach()
    ")
endfunction()

# Last of the install rules: both lists.
function(kidrill_install_manifest_end)
    if(KIDRILL_DEB)
        return()
    endif()
    install(CODE "
        set(list \"\${CMAKE_INSTALL_PREFIX}/${KIDRILL_INSTALL_APP_DIR}/installed-files.txt\")
        list(JOIN CMAKE_INSTALL_MANIFEST_FILES \"\\n\" files)
        file(WRITE \"\${list}\" \"\${files}\\n\")
        message(STATUS \"Installing: \${list}\")
        list(REMOVE_DUPLICATES made_dirs)
        list(JOIN made_dirs \"\\n\" dirs)
        file(WRITE \"\${made_dirs_list}\" \"\${dirs}\\n\")
    ")
endfunction()
