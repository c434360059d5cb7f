# Shared helpers for the folder targets.

# torvane_library(NAME DEPS...): one static library per folder, made of the
# .cpp files in that folder (not its subfolders), public include root src/.
# A file named *_posix.cpp or *_win32.cpp is built only for its own system.
function(torvane_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(ARGN)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# Settings shared by every test program: its folder and the paths it may read.
function(_torvane_test_program name)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TORVANE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    TORVANE_BIN_DIR="${TORVANE_BIN_DIR}")
endfunction()

# torvane_gtest(NAME SOURCES... LIBS ...): a GoogleTest program registered
# with ctest test by test.
function(torvane_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  _torvane_test_program(${name})
  if(CMAKE_CROSSCOMPILING)
    # One ctest test per program: under an emulator every start costs far
    # more than the test cases themselves.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(DEFINED TORVANE_WINDOWS_SKIP_${name})
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "GTEST_FILTER=-${TORVANE_WINDOWS_SKIP_${name}}")
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endif()
endfunction()

# torvane_qtest(NAME SOURCES... LIBS ...): a QtTest program run on the
# offscreen platform.
function(torvane_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets)
  _torvane_test_program(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# torvane_add_folders(NAME...): adds the named subfolders, in order. A named
# folder without a CMakeLists.txt is a broken checkout, and a subfolder with
# one that is not named would be left out silently: both stop the configure.
function(torvane_add_folders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt AND NOT child IN_LIST ARGN)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${child} is not in the folder list")
    endif()
  endforeach()
  foreach(child IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${child} has no CMakeLists.txt")
    endif()
    add_subdirectory(${child})
  endforeach()
endfunction()

# torvane_install_data(SOURCE_DIR DEST_SUBDIR [CHECK COMMAND...] [DEPENDS FILES...]):
# a folder
# of data the program and its front ends read (scheme scripts, device
# headers). Every file under SOURCE_DIR (its CMakeLists.txt aside) is copied
# beside the program in the build tree, bin/DEST_SUBDIR, and installed as
# share/torvane/DEST_SUBDIR. With CHECK, COMMAND runs with each file's path
# appended before the file is copied, so a file that fails it fails the build;
# DEPENDS names what the check needs (its program, for one). The copies are
# made by the target torvane_data_<DEST_SUBDIR>.
function(torvane_install_data source_dir dest_subdir)
  cmake_parse_arguments(D "" "" "CHECK;DEPENDS" ${ARGN})
  get_filename_component(source_dir ${source_dir} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false RELATIVE ${source_dir} ${source_dir}/*)
  list(REMOVE_ITEM files CMakeLists.txt)
  set(outputs)
  foreach(file IN LISTS files)
    set(source ${source_dir}/${file})
    set(output ${TORVANE_BIN_DIR}/${dest_subdir}/${file})
    set(check)
    if(D_CHECK)
      set(check COMMAND ${D_CHECK} ${source})
    endif()
    add_custom_command(
      OUTPUT ${output}
      ${check}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
      DEPENDS ${source} ${D_DEPENDS}
      COMMENT "Copying ${dest_subdir}/${file} beside the program"
      VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  string(MAKE_C_IDENTIFIER "torvane_data_${dest_subdir}" target)
  add_custom_target(${target} ALL DEPENDS ${outputs})
  set_property(GLOBAL APPEND PROPERTY TORVANE_DATA_TARGETS ${target})
  set_property(GLOBAL APPEND PROPERTY TORVANE_DATA_DIRS ${dest_subdir})
  install(DIRECTORY ${source_dir}/ DESTINATION ${TORVANE_INSTALL_DATADIR}/${dest_subdir}
          PATTERN CMakeLists.txt EXCLUDE)
endfunction()
