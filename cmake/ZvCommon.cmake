# Shared build settings, and the helpers that make the libraries, programs
# and tests.

# zv_warnings(target): the project's warnings on one target, errors unless
# ZV_WERROR is off. -Wpedantic is among them: GCC takes "\%" in a string as
# "%" without a word otherwise, and such a format wrote every screenshot of
# the end-to-end driver to a wrong name. zv_warn_everywhere() gives them to
# every target the project defines, so none is left out.
function(zv_warnings target)
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
    return()
  endif()
  get_target_property(options ${target} COMPILE_OPTIONS)
  if(options AND "-Wpedantic" IN_LIST options)
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ZV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# zv_warn_everywhere(dir): zv_warnings on every target defined in dir and
# the folders below it, but not GoogleTest's own (built from Debian's
# sources, not the project's code).
function(zv_warn_everywhere dir)
  get_directory_property(targets DIRECTORY ${dir} BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(imported ${target} IMPORTED)
    if(NOT imported)
      zv_warnings(${target})
    endif()
  endforeach()
  get_directory_property(subdirs DIRECTORY ${dir} SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    if(NOT subdir MATCHES "googletest")
      zv_warn_everywhere(${subdir})
    endif()
  endforeach()
endfunction()

# The product's facts that the top-level CMakeLists.txt holds, as headers in
# a folder of their own on the include path of every library and resource
# script: product_version.h, the version; payload_facts.h, the payload's
# entry count.
set(ZV_PRODUCT_DIR ${CMAKE_BINARY_DIR}/product)
configure_file(${CMAKE_SOURCE_DIR}/resources/product_version.h.in
  ${ZV_PRODUCT_DIR}/product_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/payload_facts.h.in
  ${ZV_PRODUCT_DIR}/payload_facts.h @ONLY)
# What a resource script with the version resource reads, for its OBJECT_DEPENDS.
set(ZV_VERSION_RESOURCE_FILES ${ZV_PRODUCT_DIR}/product_version.h
  ${CMAKE_SOURCE_DIR}/resources/version_info.rc ${CMAKE_SOURCE_DIR}/resources/product_title.h)

# zlib: in the Windows build the static archive of Debian's
# libz-mingw-w64-dev, so that the programs need no DLL; natively the system's.
if(WIN32)
  set(ZV_ZLIB -l:libz.a)
else()
  find_package(ZLIB REQUIRED)
  set(ZV_ZLIB ZLIB::ZLIB)
endif()

# zv_library(name SOURCES file... [USES library...]): one folder's library of
# one side, linked with the libraries of the floors below that it uses.
function(zv_library name)
  cmake_parse_arguments(L "" "" "SOURCES;USES" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${ZV_PRODUCT_DIR})
  target_link_libraries(${name} PUBLIC ${L_USES})
  zv_warnings(${name})
endfunction()

if(WIN32)
  enable_language(RC)
  # Libraries of the shipped programs: zlib, a static archive from Debian's
  # libz-mingw-w64-dev, and only DLLs that Windows always takes from its
  # system directory. comctl32 is not one of those: setup loads it at run
  # time (setup_common/common_controls.h). The tests and the driver may import it.
  set(ZV_PROGRAM_LIBS -l:libz.a ole32 uuid shell32 gdi32 user32 advapi32 kernel32)
  set(ZV_WIN32_LIBS comctl32 ${ZV_PROGRAM_LIBS})
  # The oldest Windows whose functions a target's code may name: XP's
  # (0x0501), unless the target's ZV_WINDOWS_FLOOR property names another
  # (the uninstaller: Vista's, the oldest its manifest declares).
  add_compile_definitions(WINVER=0x0501 _WIN32_IE=0x0501 NOMINMAX
    _WIN32_WINNT=$<IF:$<BOOL:$<TARGET_PROPERTY:ZV_WINDOWS_FLOOR>>,$<TARGET_PROPERTY:ZV_WINDOWS_FLOOR>,0x0501>)
  # Defence in depth for every Windows program of the build, and so for all
  # code of the shipped ones: a guard word on the stack of each function
  # with an array or an address-taken local, checked before it returns, so
  # an overrun of a stack buffer ends the process instead of returning
  # through a forged address; and the checked forms of memcpy, strcpy and
  # the like where the compiler knows the destination's size. The checked
  # functions come from the compiler's libssp, linked statically (-static)
  # when the link has the option too; the shipped programs have their own
  # guard and failure handlers (common/stack_guard.cpp), since libssp's seed
  # the guard through a DLL that Windows may take from the program's folder.
  add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong)

  # GUI subsystem; without a 4 KB file alignment Wine reads a large
  # executable whole into memory before its entry point instead of mapping it.
  # Release builds are stripped: the static runtime and zlib would otherwise
  # bring their debugging sections into the shipped program. Large address
  # aware, so a large payload fits the address space (64-bit programs are,
  # and their linker has no such option); no link time stamp, so the same
  # sources give the same bytes. Terminal-server aware, so that on a Remote
  # Desktop session host Windows gives the programs the system's own Windows
  # folder, not a private copy per user. The linker's map (PROGRAM.exe.map
  # beside it) tells what went into the stripped program, for the hardening
  # checks.
  # The program's own stack guard, zv_stack_guard, is linked in as an object.
  function(zv_win32_program target)
    target_link_libraries(${target} PRIVATE zv_stack_guard)
    target_link_options(${target} PRIVATE -mwindows -Wl,--file-alignment,4096 -Wl,--tsaware
      $<$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>:-Wl,--large-address-aware>
      -Wl,--no-insert-timestamp $<$<NOT:$<CONFIG:Debug>>:-s>
      -Wl,-Map=$<TARGET_FILE:${target}>.map)
  endfunction()

  # zv_payload_program(target OUTPUT name SCRIPT file MANIFEST file): a
  # program of the payload (the game, the uninstaller), on common/ alone; its
  # resource script includes its manifest from the generated directory and
  # the shared version resource.
  function(zv_payload_program target)
    cmake_parse_arguments(P "" "OUTPUT;SCRIPT;MANIFEST" "" ${ARGN})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${P_OUTPUT})
    target_sources(${target} PRIVATE ${P_SCRIPT})
    set_source_files_properties(${P_SCRIPT} PROPERTIES
      OBJECT_DEPENDS "${ZV_MANIFEST_DIR}/${P_MANIFEST};${ZV_VERSION_RESOURCE_FILES}")
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${ZV_MANIFEST_DIR}
      ${ZV_PRODUCT_DIR})
    target_link_libraries(${target} PRIVATE zv_common gdi32 user32 advapi32 kernel32)
    zv_warnings(${target})
    zv_win32_program(${target})
  endfunction()

  # The programs' manifests, one for each execution level, made from one
  # template into the generated directory, where their resource scripts
  # find them.
  set(ZV_MANIFEST_DIR ${CMAKE_BINARY_DIR}/generated)
  foreach(level requireAdministrator asInvoker)
    set(ZV_EXECUTION_LEVEL ${level})
    configure_file(${CMAKE_SOURCE_DIR}/resources/program.manifest.in
      ${ZV_MANIFEST_DIR}/${level}.manifest @ONLY)
  endforeach()

  # Every Win32 program of the build runs under Wine with the private prefix
  # and display that the wine.start fixture prepares.
  set(ZV_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/wine/wine-exec.sh ${ZV_WINE_STATE})
elseif(ZV_SANITIZE OR ZV_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  if(ZV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      message(FATAL_ERROR "ZV_FUZZ needs clang (preset fuzz)")
    endif()
    # The fuzz targets' coverage guides libFuzzer through the libraries they
    # link too; the targets themselves link the fuzzer (tests/fuzz).
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# GoogleTest from Debian's source package, built with this build's own flags
# (sanitizers natively, the -posix cross compilers for Windows).
set(ZV_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest AND EXISTS ${ZV_GTEST_SRC}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ZV_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
include(GoogleTest)

# zv_native_test(name SOURCES ... [LIBS ...]): a GoogleTest program of the
# native build; each TEST becomes one CTest test.
function(zv_native_test name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  zv_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native TIMEOUT 120)
endfunction()

# zv_win32_test(name SOURCES ... [LIBS ...] [LOCK resource]): a GoogleTest
# program of the Windows build, run under Wine; each TEST becomes one CTest
# test (found by scanning the sources, since listing them would need Wine at
# build time). Tests that take the same LOCK never run at the same time:
# tests that read screen pixels, and tests that show windows on the screen
# those read, lock the unit display.
function(zv_win32_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main ${ZV_WIN32_LIBS})
  zv_warnings(${name})
  gtest_add_tests(TARGET ${name} SOURCES ${T_SOURCES} TEST_LIST ${name}_TESTS)
  set_tests_properties(${${name}_TESTS} PROPERTIES
    FIXTURES_REQUIRED wine LABELS win32 TIMEOUT 120)
  if(T_LOCK)
    set_tests_properties(${${name}_TESTS} PROPERTIES RESOURCE_LOCK ${T_LOCK})
  endif()
endfunction()
