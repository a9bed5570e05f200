# ludex_library(NAME [DEPS lib...] [EXCLUDE file...])
# Builds every .cpp of the calling folder (but the excluded ones) into the
# static library NAME. Sources are globbed so that adding a module means
# adding its files only.
function(ludex_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(NOT sources)
    # A subsystem that has no module yet still links like one.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# ludex_test(NAME [DEPS lib...])
# Builds every .cpp of the calling folder into one GoogleTest executable and
# registers its tests with CTest. Widget tests run on Qt's offscreen platform,
# and any settings a test writes go to the build tree, never the user's own.
function(ludex_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    LUDEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    LUDEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "XDG_CONFIG_HOME=set:${PROJECT_BINARY_DIR}/test-config")
endfunction()

# ludex_pack_skin(ZIP FOLDER FILE...)
# Packs the named files of a skin folder into the ZIP archive at build time,
# with CMake's own archive writer and a fixed date, so that the same files
# give the same archive.
function(ludex_pack_skin zip folder)
  set(paths "")
  foreach(file IN LISTS ARGN)
    list(APPEND paths "${folder}/${file}")
  endforeach()
  get_filename_component(zip_dir "${zip}" DIRECTORY)
  get_filename_component(zip_name "${zip}" NAME)
  add_custom_command(
    OUTPUT "${zip}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${zip_dir}"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${zip}"
    COMMAND ${CMAKE_COMMAND} -E tar cf "${zip}" --format=zip "--mtime=2026-01-01 UTC" ${ARGN}
    WORKING_DIRECTORY "${folder}"
    DEPENDS ${paths}
    COMMENT "Packing ${zip_name}")
endfunction()
