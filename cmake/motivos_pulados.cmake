# Run by ctest after the tests (CTestCustom.cmake): lists why each skipped
# test skipped, and what a passing test could not check, from the run's log.
# ctest itself shows a skipped test's name but never its output.
#   cmake -DREGISTRO=<build>/Testing/Temporary/LastTest.log -P motivos_pulados.cmake
# While the commands after the tests run, ctest still writes the log under a
# temporary name (complete by then) and gives it its own name afterwards.
if(EXISTS "${REGISTRO}.tmp")
  set(REGISTRO "${REGISTRO}.tmp")
elseif(NOT EXISTS "${REGISTRO}")
  return()
endif()
file(STRINGS "${REGISTRO}" linhas REGEX "^[0-9]+/[0-9]+ Test: |^(skipped|not checked): ")
set(teste "")
set(motivos "")
foreach(linha IN LISTS linhas)
  if(linha MATCHES "^[0-9]+/[0-9]+ Test: (.*)$")
    set(teste "${CMAKE_MATCH_1}")
  else()
    string(APPEND motivos "  ${teste}: ${linha}\n")
  endif()
endforeach()
if(motivos)
  message("Skipped or not checked, and why:\n${motivos}")
endif()
