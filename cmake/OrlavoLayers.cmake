# One static library per layer of a subsystem. Sources are the folder's
# files, so a new file is picked up without a list to keep.
#
#   orlavo_layer(<target> <folder> LINKS <libraries...>)
#
# Rules targets link the services core only, so <QSqlQuery> or <QWidget> in
# a file they compile does not build; the include check in tools/ refuses
# every include the libraries' table forbids, in headers too.
function(orlavo_layer target folder)
    cmake_parse_arguments(L "" "" "LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    file(GLOB compiled CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(compiled)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC ${L_LINKS})
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
    add_library(orlavo_${name} STATIC ${windows})
    target_link_libraries(orlavo_${name} PUBLIC ${window_deps})
endfunction()
