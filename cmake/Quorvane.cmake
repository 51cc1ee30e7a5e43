include(GoogleTest)

# Adds each listed folder that has a CMakeLists.txt, so a feature folder can be
# brought in by creating it.
function(quorvane_add_subdirs)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# The Qt and standard headers nearly every file of a library reads, compiled once per
# library: the widget set for libraries that link Qt Widgets, the core set for the others.
# The sanitizer build compiles every file without them, so a missing include still shows.
set(QUORVANE_PCH_CORE <QByteArray> <QString> <QStringList> <QList> <QHash> <QFile> <QDir>
    <QFileInfo> <QImage> <algorithm> <functional> <memory> <vector>)
set(QUORVANE_PCH_WIDGETS ${QUORVANE_PCH_CORE} <QApplication> <QWidget> <QDialog> <QLabel>
    <QPushButton> <QLineEdit> <QPainter> <QKeyEvent> <QMouseEvent>)
function(quorvane_precompile_headers target)
  if(QUORVANE_SANITIZE)
    return()
  endif()
  get_target_property(libraries ${target} LINK_LIBRARIES)
  if(Qt6::Widgets IN_LIST libraries)
    target_precompile_headers(${target} PRIVATE ${QUORVANE_PCH_WIDGETS})
  else()
    target_precompile_headers(${target} PRIVATE ${QUORVANE_PCH_CORE})
  endif()
endfunction()

# A static library from every .cpp of the given folders (relative to the current one).
# quorvane_add_library(name DIRS a b LIBS x y)
function(quorvane_add_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    quorvane_precompile_headers(${name})
  else()
    # Nothing built yet: an interface library keeps the targets that link it valid.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# One GoogleTest program per *_test.cpp file of the current folder and its subfolders (which
# mirror the program's folders under src/), each named <prefix>_<file>, linked with the
# shared test main and the given libraries.
# The files named under GUI_PROGRAMS (stems, or ALL) start the built hub or content editor,
# which hold one instance per user: their tests run one at a time.
# quorvane_add_tests(prefix LIBS x y [GUI_PROGRAMS stem...])
function(quorvane_add_tests prefix)
  if(NOT TARGET quorvane_testmain)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LIBS;GUI_PROGRAMS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS tests)
    get_filename_component(stem ${src} NAME_WE)
    set(target ${prefix}_${stem})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE quorvane_testmain ${ARG_LIBS})
    set(lock)
    if(stem IN_LIST ARG_GUI_PROGRAMS OR "ALL" IN_LIST ARG_GUI_PROGRAMS)
      list(APPEND lock quorvane_gui_programs)
    endif()
    # The cases of a Wine test program share its prefix, and so one registry that their
    # tools hand values over in: they run one at a time.
    if(stem MATCHES "_wine_test$")
      list(APPEND lock ${target})
    endif()
    if(lock)
      set(lock RESOURCE_LOCK "${lock}")
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300 ${lock})
  endforeach()
endfunction()

# A Google Benchmark program.
# quorvane_add_bench(name SOURCES a.cpp LIBS x y)
function(quorvane_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()

# A libFuzzer target (clang only), with ASan and UBSan.
# quorvane_add_fuzzer(name SOURCES a.cpp LIBS x y)
function(quorvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

# A program's string table: every *.strings file of <folder> (relative to the current
# source folder) becomes one generated source defining `const StringTable& <symbol>()`,
# rebuilt when a .strings file changes or is added. The library is made here (a static
# library of the folder's .cpp files and the generated source) unless it exists already.
# quorvane_string_table(<library> <symbol> <folder>)
function(quorvane_string_table library symbol folder)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  file(GLOB inputs CONFIGURE_DEPENDS ${dir}/*.strings)
  list(SORT inputs)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND quorvane_strgen ${symbol} ${output} ${inputs}
    DEPENDS quorvane_strgen ${inputs}
    COMMENT "String table ${symbol}"
    VERBATIM)
  if(NOT TARGET ${library})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    add_library(${library} STATIC ${sources})
    target_include_directories(${library} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${library} PUBLIC platform)
  endif()
  get_target_property(kind ${library} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    message(FATAL_ERROR "quorvane_string_table: ${library} must be a real library")
  endif()
  target_sources(${library} PRIVATE ${output})
endfunction()
