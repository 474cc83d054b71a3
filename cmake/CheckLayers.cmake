# Checks that includes point down the layers (see ARCHITECTURE.md):
#   1 base < 2 platform < 3 data < 4 toolkit < 5 windows < 6 app
# The feature folders (ledger, cards, summary, import, settlement) hold data files (3) and
# window files (5), told apart by their names.
# A file may include files of its own layer or lower ones. Layers 1 and 3 may
# not include Qt widget headers (only platform holds a widget, the grid), nor
# Qt Charts, whose charts are graphics widgets.
#
#   cmake -DSRC=<src dir> -P cmake/CheckLayers.cmake
#
# Plain CMake on purpose: CI starts from a bare Debian with only what the
# Makefile installs.
cmake_minimum_required(VERSION 3.25)

if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
    message(FATAL_ERROR "CheckLayers: pass -DSRC=<source folder> (got '${SRC}')")
endif()

set(layer_names "" base platform data toolkit windows app)

# The one rule that tells window files from data files in the feature folders.
function(is_window_file path out)
    get_filename_component(stem "${path}" NAME_WE)
    if(stem MATCHES "^frm" OR stem MATCHES "Window|Dialog|StatusLine|Chart|View$" OR stem MATCHES "^(CardSearch|NumericEdit|PlastraSync)$")
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# Layer number of a path relative to SRC ("core/Money.h"); empty when its
# folder is not a layer of its own.
function(layer_of path out)
    string(REGEX MATCH "^[^/]+" folder "${path}")
    set(layer "")
    if(folder STREQUAL "base")
        set(layer 1)
    elseif(folder STREQUAL "platform")
        set(layer 2)
    elseif(folder STREQUAL "core")
        set(layer 3)
    elseif(folder MATCHES "^(ledger|cards|summary|import|settlement)$")
        is_window_file("${path}" window)
        if(window)
            set(layer 5)
        else()
            set(layer 3)
        endif()
    elseif(folder STREQUAL "toolkit")
        set(layer 4)
    elseif(folder STREQUAL "app")
        set(layer 6)
    endif()
    set(${out} "${layer}" PARENT_SCOPE)
endfunction()

set(widget_header_regex
    "^<(Q(Widget|ComboBox|MessageBox|Dialog|InputDialog|FileDialog|Application|LineEdit|Label|PushButton|CheckBox|MainWindow|Menu|MenuBar|Action|HeaderView|TableView|BoxLayout|VBoxLayout|HBoxLayout|GridLayout)>|QtWidgets|QtCharts|Q(Chart|ChartView|BarSet|StackedBarSeries|LineSeries|BarCategoryAxis|CategoryAxis|ValueAxis|GraphicsScene)>)")

set(violations "")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SRC}" "${SRC}/*.cpp" "${SRC}/*.h")
foreach(file IN LISTS files)
    layer_of("${file}" from)
    if(from STREQUAL "")
        list(APPEND violations "${file}: is in no layer (unknown folder)")
        continue()
    endif()
    list(GET layer_names ${from} from_name)
    file(STRINGS "${SRC}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*$" "\\1" target "${line}")
        if(target MATCHES "^\"([^\"]+)\"$")
            set(header "${CMAKE_MATCH_1}")
            layer_of("${header}" to)
            # Only folder-qualified project headers count ("moc" files and the like do not).
            if(NOT to STREQUAL "" AND to GREATER from)
                list(GET layer_names ${to} to_name)
                list(APPEND violations
                     "${file}: includes ${header} (layer ${from} ${from_name} -> layer ${to} ${to_name})")
            endif()
        elseif((from EQUAL 1 OR from EQUAL 3) AND target MATCHES "${widget_header_regex}")
            list(APPEND violations "${file}: includes ${target} (layer ${from} ${from_name} -> Qt widgets)")
        endif()
    endforeach()
endforeach()

list(LENGTH violations count)
if(count GREATER 0)
    foreach(v IN LISTS violations)
        message("${v}")
    endforeach()
    message(FATAL_ERROR "CheckLayers: ${count} include(s) point the wrong way in ${SRC}")
endif()
list(LENGTH files checked)
message(STATUS "CheckLayers: ${checked} files, every include points down")
