# Checks that includes point down the layers (see ARCHITECTURE.md). Every
# folder of src/ has a place in one order, lowest first; a file may include
# headers of its own folder and of folders before it, never of one after it,
# so no two folders include each other:
#
#   data/base data/db data/sheet data/books data/cards data/summary
#   data/settlement data/ledger data/import      the books (no Qt Gui, no widgets)
#   output                                       printing
#   gui/grid gui/toolkit gui/cards gui/summary
#   gui/settlement gui/ledger                    the grid and the windows
#   app                                          start-up and the command line
#
# The data folders may not include Qt Gui, Widgets, Charts or Print Support
# headers either; the build proves the same for the linked code
# (tallox_data_links_alone).
#
#   cmake -DSRC=<src dir> -P cmake/CheckLayers.cmake
#
# Plain CMake on purpose: CI starts from a bare Debian with only what the
# Makefile installs.
cmake_minimum_required(VERSION 3.25)

if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
    message(FATAL_ERROR "CheckLayers: pass -DSRC=<source folder> (got '${SRC}')")
endif()

set(folder_order
    data/base data/db data/sheet data/books data/cards data/summary data/settlement data/ledger data/import
    output
    gui/grid gui/toolkit gui/cards gui/summary gui/settlement gui/ledger
    app)

# Rank of the folder of a path relative to SRC ("data/base/Money.h"); -1 when
# the folder has no place in the order.
function(rank_of path out)
    get_filename_component(folder "${path}" DIRECTORY)
    list(FIND folder_order "${folder}" rank)
    set(${out} "${rank}" PARENT_SCOPE)
endfunction()

set(gui_header_regex
    "^<(Qt(Gui|Widgets|Charts|PrintSupport)(/|>)|Q(Widget|ComboBox|MessageBox|Dialog|InputDialog|FileDialog|Application|GuiApplication|LineEdit|Label|PushButton|CheckBox|MainWindow|Menu|MenuBar|Action|HeaderView|TableView|BoxLayout|VBoxLayout|HBoxLayout|GridLayout|Color|Font|FontMetrics|FontMetricsF|Image|Pixmap|Painter|Printer|PrintPreviewDialog|PdfWriter|Chart|ChartView|BarSet|StackedBarSeries|LineSeries|BarCategoryAxis|CategoryAxis|ValueAxis|GraphicsScene)>)")

set(violations "")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SRC}" "${SRC}/*.cpp" "${SRC}/*.h")
foreach(file IN LISTS files)
    rank_of("${file}" from)
    get_filename_component(from_folder "${file}" DIRECTORY)
    if(from EQUAL -1)
        list(APPEND violations "${file}: its folder ${from_folder} has no place in the layer order")
        continue()
    endif()
    file(STRINGS "${SRC}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*$" "\\1" target "${line}")
        if(target MATCHES "^\"([^\"]+)\"$")
            set(header "${CMAKE_MATCH_1}")
            # Only folder-qualified project headers count ("moc" files and the like do not).
            if(NOT header MATCHES "/")
                continue()
            endif()
            rank_of("${header}" to)
            get_filename_component(to_folder "${header}" DIRECTORY)
            if(to GREATER from)
                list(APPEND violations "${file}: includes ${header} (${from_folder} may not include ${to_folder})")
            endif()
        elseif(from_folder MATCHES "^data/" AND target MATCHES "${gui_header_regex}")
            list(APPEND violations "${file}: includes ${target} (the data folders use no Qt Gui or widgets)")
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
