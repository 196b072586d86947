# WebAssembly through Debian's emscripten package. Its tools run on the Node
# that Debian ships, which finds emscripten's JavaScript helpers (acorn) only
# under /usr/share/nodejs; every emcc run, at configure time and at build time,
# gets that search path here, so nothing has to be set by hand.
set(ORVEX_NODE_PATH /usr/share/nodejs)
set(ENV{NODE_PATH} ${ORVEX_NODE_PATH})

find_path(ORVEX_EMSCRIPTEN_ROOT cmake/Modules/Platform/Emscripten.cmake
  PATHS /usr/share/emscripten NO_DEFAULT_PATH REQUIRED)
include(${ORVEX_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# The linker (which runs emscripten's JavaScript optimiser on Node) always
# gets the search path; the compilers keep the launcher the caller chose
# (ccache), with the same path in front.
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=${ORVEX_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=${ORVEX_NODE_PATH})
