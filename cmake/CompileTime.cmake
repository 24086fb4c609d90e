# What makes the compiles cheap, measured on the 2-core build machine: Qt's
# headers are most of the cost of a translation unit here (2 to 3 s of CPU
# for <QString> or a few widgets, of 3 to 5 s), so fewer units read them.
#
# - A library's sources are compiled as one unit (a unity build). Two files of
#   one library then share one scope: helpers in anonymous namespaces must
#   have names of their own, or the file must be left out of the unity unit
#   (SKIP_UNITY_BUILD_INCLUSION). -DKIDRILL_UNITY=OFF compiles file by file.
# - Targets with several units of one kind share precompiled Qt headers. GCC
#   takes a precompiled header only when the macros defined on the command
#   line are the same as when it was made, and Qt defines one for each module
#   a target links (QT_WIDGETS_LIB ...): so a kind is a set of targets that
#   link the same Qt modules. A target that stops matching its kind still
#   builds; GCC then says "not used because ..." (-Winvalid-pch) and reads
#   the headers. Making one costs as much as three units reading the headers,
#   so a kind pays only with more units than that.
option(KIDRILL_UNITY "Compile each library as one translation unit" ON)

# Static libraries need not wait for the libraries they name to be built.
set(CMAKE_OPTIMIZE_DEPENDENCIES ON)

set(KIDRILL_PCH_widgets
    <QApplication> <QDialog> <QFont> <QFontMetrics> <QGuiApplication> <QIcon>
    <QKeyEvent> <QLabel> <QMessageBox> <QPushButton> <QScreen> <QString> <QTimer> <QWidget>
    <algorithm> <array> <cstdint> <optional> <string> <string_view> <vector>)
set(KIDRILL_PCH_test
    <QDir> <QFile> <QString> <QStringList> <QTemporaryDir> <QTest>
    <algorithm> <array> <cstdint> <optional> <string> <string_view> <vector>)

# kidrill_unity(<target>...): each target's sources as one unit.
function(kidrill_unity)
    if(KIDRILL_UNITY)
        set_target_properties(${ARGN} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    endif()
endfunction()

# kidrill_precompile(<target> <kind>): <target> uses the headers of <kind>
# (widgets or test), made once by the first target of that kind. Nothing in
# the fuzz build, whose flags differ from target to target.
function(kidrill_precompile target kind)
    if(KIDRILL_FUZZ)
        return()
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        # A program's or test's moc file is empty (a test includes its moc
        # output in its source): loading the header there costs for nothing.
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
            TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
    get_property(owner GLOBAL PROPERTY KIDRILL_PCH_OWNER_${kind})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE ${KIDRILL_PCH_${kind}})
        set_property(GLOBAL PROPERTY KIDRILL_PCH_OWNER_${kind} ${target})
    endif()
endfunction()
