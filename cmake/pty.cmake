# Where openpty and forkpty are declared and defined: <pty.h> and libutil on
# Linux, <util.h> on macOS and NetBSD/OpenBSD, <libutil.h> and libutil on
# FreeBSD. Sets ZOVA_PTY (found or not), ZOVA_PTY_DEFINICAO (the header, as a
# compile definition) and ZOVA_PTY_BIBLIOTECA (what to link, maybe nothing).
include(CheckCXXSymbolExists)
include(CMakePushCheckState)

set(ZOVA_PTY OFF)
foreach(cabecalho pty.h util.h libutil.h)
  foreach(biblioteca util "")
    string(MAKE_C_IDENTIFIER "ZOVA_FORKPTY_${cabecalho}_${biblioteca}" resultado)
    cmake_push_check_state(RESET)
    set(CMAKE_REQUIRED_QUIET ON)
    set(CMAKE_REQUIRED_LIBRARIES ${biblioteca})
    check_cxx_symbol_exists(forkpty "sys/types.h;termios.h;${cabecalho}" ${resultado})
    cmake_pop_check_state()
    if(${resultado})
      set(ZOVA_PTY ON)
      string(MAKE_C_IDENTIFIER "ZOVA_COM_${cabecalho}" ZOVA_PTY_DEFINICAO)
      string(TOUPPER ${ZOVA_PTY_DEFINICAO} ZOVA_PTY_DEFINICAO)
      set(ZOVA_PTY_BIBLIOTECA ${biblioteca})
      break()
    endif()
  endforeach()
  if(ZOVA_PTY)
    break()
  endif()
endforeach()
