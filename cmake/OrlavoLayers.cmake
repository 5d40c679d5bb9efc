# One static library per layer of a subsystem. Sources are the folder's
# files, so a new file is picked up without a list to keep.
#
#   orlavo_layer(<target> <folder> LINKS <libraries...>)
#
# Rules targets link the services core only, so <QSqlQuery> or <QWidget> in
# a file they compile does not build; the include check in tools/ refuses
# every include the libraries' table forbids, in headers too.
# Precompiled Qt headers, by what a layer may use: the build must not grow
# with every window, and the Qt headers are most of each file's parse. One
# header is compiled per kind, by the first library of that kind (the
# holder); the others reuse it, since a compiled header is large and slow
# to make.
#   orlavo_precompile(<target> CORE|DATA|WIDGETS|TESTS)
option(ORLAVO_PCH "Precompile the Qt headers, one set per kind of library" ON)
set(ORLAVO_PCH_CORE <QString> <QStringList> <QList> <QHash> <QVariant> <QDate> <optional> <functional>)
set(ORLAVO_PCH_DATA ${ORLAVO_PCH_CORE} <QSqlDatabase> <QSqlQuery>)
set(ORLAVO_PCH_WIDGETS ${ORLAVO_PCH_DATA} <QWidget> <QDialog> <QLabel> <QLineEdit> <QPushButton> <QComboBox>
    <QCheckBox> <QGridLayout> <QVBoxLayout> <QHBoxLayout> <QTabWidget> <QTableWidget>)
set(ORLAVO_PCH_TESTS ${ORLAVO_PCH_WIDGETS} <gtest/gtest.h> ${PROJECT_SOURCE_DIR}/tests/support/printers.h)
function(orlavo_precompile target kind)
    if(NOT ORLAVO_PCH)
        return()
    endif()
    get_property(holder GLOBAL PROPERTY ORLAVO_PCH_HOLDER_${kind})
    if(holder)
        target_precompile_headers(${target} REUSE_FROM ${holder})
    else()
        target_precompile_headers(${target} PRIVATE ${ORLAVO_PCH_${kind}})
        set_property(GLOBAL PROPERTY ORLAVO_PCH_HOLDER_${kind} ${target})
    endif()
endfunction()

function(orlavo_layer target folder)
    cmake_parse_arguments(L "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    file(GLOB compiled CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(compiled)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC ${L_LINKS})
        if(target MATCHES "_rules$|_core$")
            orlavo_precompile(${target} CORE)
        elseif("Qt6::Widgets" IN_LIST L_LINKS)
            orlavo_precompile(${target} WIDGETS)
        else()
            orlavo_precompile(${target} DATA)
        endif()
    else()
        # A layer of headers only (or none yet): nothing to compile.
        add_library(${target} INTERFACE ${sources})
        target_link_libraries(${target} INTERFACE ${L_LINKS})
    endif()
endfunction()

# A subsystem with rules/, stores/ and windows/ (plus its exported header
# <name>/<name>.h and its registration beside it, built with the windows).
#   orlavo_subsystem(<name> USES <lower subsystems...>)
function(orlavo_subsystem name)
    cmake_parse_arguments(S "" "" "USES" ${ARGN})
    set(dir ${CMAKE_CURRENT_SOURCE_DIR})
    set(rule_deps orlavo_services_core orlavo_reporting_rules)
    set(store_deps orlavo_${name}_rules orlavo_services orlavo_reporting)
    set(window_deps orlavo_${name}_stores orlavo_ui)
    foreach(lower IN LISTS S_USES)
        list(APPEND rule_deps orlavo_${lower}_rules)
        list(APPEND store_deps orlavo_${lower}_stores)
        list(APPEND window_deps orlavo_${lower})
    endforeach()
    orlavo_layer(orlavo_${name}_rules ${dir}/rules LINKS ${rule_deps})
    orlavo_layer(orlavo_${name}_stores ${dir}/stores LINKS ${store_deps})
    file(GLOB windows CONFIGURE_DEPENDS ${dir}/windows/*.cpp ${dir}/windows/*.h ${dir}/*.cpp ${dir}/*.h)
    file(GLOB compiled CONFIGURE_DEPENDS ${dir}/windows/*.cpp ${dir}/*.cpp)
    if(compiled)
        add_library(orlavo_${name} STATIC ${windows})
        target_link_libraries(orlavo_${name} PUBLIC ${window_deps})
        orlavo_precompile(orlavo_${name} WIDGETS)
    else()
        # No windows yet: the rules and stores serve the subsystems above.
        add_library(orlavo_${name} INTERFACE ${windows})
        target_link_libraries(orlavo_${name} INTERFACE ${window_deps})
    endif()
endfunction()
