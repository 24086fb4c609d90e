# Last of the install rules: the list of what was installed, kept beside the
# programs so that `make uninstall` needs no build tree. A package has
# dpkg's list instead.
if(NOT KIDRILL_DEB)
    install(CODE "
        set(list \"\${CMAKE_INSTALL_PREFIX}/${KIDRILL_INSTALL_APP_DIR}/installed-files.txt\")
        list(JOIN CMAKE_INSTALL_MANIFEST_FILES \"\\n\" files)
        file(WRITE \"\${list}\" \"\${files}\\n\")
        message(STATUS \"Installing: \${list}\")
    ")
endif()
