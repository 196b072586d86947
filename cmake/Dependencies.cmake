# Third-party pieces, found the same way for the native and the MinGW build.

# CLI11 is header-only. The cross build must not see the host's /usr/include,
# so its headers are copied into a folder of their own.
find_path(CLI11_HOST_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(ORVEX_CLI11_DIR ${CMAKE_BINARY_DIR}/third_party/cli11)
file(COPY ${CLI11_HOST_INCLUDE}/CLI DESTINATION ${ORVEX_CLI11_DIR})
add_library(cli11 INTERFACE)
target_include_directories(cli11 SYSTEM INTERFACE ${ORVEX_CLI11_DIR})

if(ORVEX_TESTS)
  if(CMAKE_CROSSCOMPILING)
    # Debian ships GoogleTest only for the host; build it from its sources for the target.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
