# Writes the gzipped man page of a program from its --help output, with the
# extra sections of an include file; run by the build as
#   cmake -DHELP2MAN=... -DPROGRAM=... -DVERSION=... -DINCLUDE=... -DOUTPUT=... -P make_man_page.cmake
# The page is written beside its final name and renamed only when help2man and
# gzip both succeeded, so a failed run leaves no half page behind.
execute_process(
  COMMAND ${HELP2MAN} --no-info --version-string=${VERSION} --include=${INCLUDE} ${PROGRAM}
  COMMAND gzip -9n
  OUTPUT_FILE ${OUTPUT}.part
  RESULTS_VARIABLE results)
foreach(result IN LISTS results)
  if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "Writing the man page of ${PROGRAM} failed (help2man, gzip: ${results})")
  endif()
endforeach()
file(RENAME ${OUTPUT}.part ${OUTPUT})
