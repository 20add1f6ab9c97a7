# zlib and minizip. Natively Debian's packages; for Windows, zlib from libz-mingw-w64-dev and
# minizip compiled from the zlib source package that scripts/bootstrap unpacks under build/.
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)

# The fuzz build compiles minizip from source too, so that its code is instrumented.
if(WIN32 OR OSP_FUZZ)
  set(OSP_ZLIB_SOURCE "${CMAKE_SOURCE_DIR}/build/deps/zlib-src" CACHE PATH "Unpacked zlib source package")
  set(_mz "${OSP_ZLIB_SOURCE}/contrib/minizip")
  if(NOT EXISTS "${_mz}/zip.c")
    message(FATAL_ERROR "minizip source not found in ${_mz}; run scripts/bootstrap first")
  endif()
  add_library(minizip STATIC "${_mz}/ioapi.c" "${_mz}/unzip.c" "${_mz}/zip.c")
  target_include_directories(minizip SYSTEM PUBLIC "${_mz}")
  target_compile_options(minizip PRIVATE -w)
  target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  add_library(minizip INTERFACE)
  target_link_libraries(minizip INTERFACE PkgConfig::MINIZIP ZLIB::ZLIB)
endif()

if(OSP_TESTS)
  # GoogleTest from Debian's source package builds for the host and for mingw alike.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(TARGET gtest)
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  endif()
endif()
