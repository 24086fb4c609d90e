# `make deb`: the Debian package, made by CPack from the install rules of a
# build configured with KIDRILL_DEB (see the Makefile). Its own files are in
# data/deb/.
if(NOT KIDRILL_DEB)
    return()
endif()

set(KIDRILL_MAINTAINER "kidrill maintainers <maintainers@kidrill.example>"
    CACHE STRING "The package's maintainer, \"name <address>\"")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kidrill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KIDRILL_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KIDRILL_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "romaji touch-typing trainer for Japanese keyboards")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A touch-typing drill for learners at a Japanese (JIS) keyboard, children
included: it shows a Japanese word or sentence, its meaning and the romaji
keys that type it, judges every key, and lights the next key and the finger
that strikes it on an on-screen keyboard. Three levels lead from the home
position to proverbs and everyday sentences; timed trials keep the best
scores of every level. Optionally it keeps the learner's records (speed,
accuracy and the weak keys and kana, in SQLite, with charts) and teaches a
course of lessons that open one by one as goals are met.

kidlist, the word-list editor, adds the learner's own sentences to the
sentence level.")

# The libraries the programs and modules link are found by dpkg-shlibdeps;
# what they need besides is declared with each program and module.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
get_property(depends GLOBAL PROPERTY KIDRILL_PACKAGE_DEPENDS)
get_property(recommends GLOBAL PROPERTY KIDRILL_PACKAGE_RECOMMENDS)
list(REMOVE_DUPLICATES depends)
list(REMOVE_DUPLICATES recommends)
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
list(JOIN recommends ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS)

# Staged under DESTDIR with the real prefix, so that the desktop entries
# name /usr/bin and not the staging directory.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(deb_dir ${PROJECT_SOURCE_DIR}/data/deb)
set(staged ${CMAKE_BINARY_DIR}/deb)
set(app_dir ${CMAKE_INSTALL_PREFIX}/${KIDRILL_INSTALL_APP_DIR})
configure_file(${deb_dir}/postrm.in ${staged}/postrm @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${staged}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What Debian asks of every package: its copyright and changelog, and the
# reasons for the warnings it keeps.
execute_process(COMMAND date -u -R -d ${KIDRILL_RELEASE_DATE}
                OUTPUT_VARIABLE release_date OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${deb_dir}/changelog.in ${staged}/changelog @ONLY)
add_custom_command(
    OUTPUT ${staged}/changelog.gz
    COMMAND gzip -9nc ${staged}/changelog > ${staged}/changelog.gz
    DEPENDS ${staged}/changelog)
add_custom_target(package_changelog ALL DEPENDS ${staged}/changelog.gz)
install(FILES ${staged}/changelog.gz ${deb_dir}/copyright DESTINATION share/doc/kidrill)
install(FILES ${deb_dir}/lintian-overrides DESTINATION share/lintian/overrides RENAME kidrill)

include(CPack)
