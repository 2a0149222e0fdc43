# The browser edition's toolchain: Emscripten's own CMake toolchain, from
# wherever Emscripten is installed. The first found of: an emsdk ($EMSDK),
# the Emscripten whose em-config is on the PATH, Debian's package.
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
# (the web preset does this). -DZOVA_EMSCRIPTEN=<its root> chooses one.
set(ZOVA_PLATAFORMA_EMSCRIPTEN cmake/Modules/Platform/Emscripten.cmake)

if(NOT ZOVA_EMSCRIPTEN)
  set(candidatos)
  if(DEFINED ENV{EMSDK})
    list(APPEND candidatos "$ENV{EMSDK}/upstream/emscripten")
  endif()
  execute_process(COMMAND em-config EMSCRIPTEN_ROOT
    OUTPUT_VARIABLE raiz OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE resultado ERROR_QUIET)
  if(resultado EQUAL 0 AND raiz)
    list(APPEND candidatos "${raiz}")
  endif()
  list(APPEND candidatos /usr/share/emscripten)
  foreach(raiz IN LISTS candidatos)
    if(EXISTS "${raiz}/${ZOVA_PLATAFORMA_EMSCRIPTEN}")
      set(ZOVA_EMSCRIPTEN "${raiz}" CACHE PATH "Root of the Emscripten that builds the browser edition")
      break()
    endif()
  endforeach()
  if(NOT ZOVA_EMSCRIPTEN)
    message(FATAL_ERROR "Emscripten not found (looked in: ${candidatos}). Install Debian's "
      "(apt-get install emscripten), or an emsdk with EMSDK set to its folder.")
  endif()
endif()

# The checks CMake compiles in projects of their own read this file again:
# they are given the root found here rather than look again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZOVA_EMSCRIPTEN)
set(EMSCRIPTEN_ROOT_PATH "${ZOVA_EMSCRIPTEN}")
include("${ZOVA_EMSCRIPTEN}/${ZOVA_PLATAFORMA_EMSCRIPTEN}")
