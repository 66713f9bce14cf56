# Fails when a text the sources show has no finished translation in a .ts file: the
# sources are read with lupdate into a copy of the file, which then must hold no entry
# waiting for a translator.
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<sources> "-DFOLDERS=<a;b>" -DTS=<orrery_xx.ts> -DWORK=<folder>
#     -P CheckTranslations.cmake
if(NOT LUPDATE OR NOT EXISTS "${LUPDATE}")
  message(FATAL_ERROR "Qt 6 lupdate was not found (Debian: qt6-l10n-tools); the translations cannot be checked")
endif()
if(NOT FOLDERS)
  message(FATAL_ERROR "No source folders to read for translatable texts")
endif()
get_filename_component(name "${TS}" NAME)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${TS}" DESTINATION "${WORK}")
set(copy "${WORK}/${name}")
execute_process(
  COMMAND "${LUPDATE}" -silent -locations none -no-obsolete -I "${SOURCE_DIR}"
    ${FOLDERS} -ts "${copy}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()
file(READ "${copy}" text)
# Every message without a finished translation, with its source text.
string(REGEX MATCHALL "<source>[^<]*</source>[ \t\r\n]*<translation type=\"unfinished\"" open "${text}")
list(LENGTH open count)
if(count GREATER 0)
  string(REGEX REPLACE "[ \t\r\n]*<translation type=\"unfinished\"" "" open "${open}")
  string(REPLACE ";" "\n  " open "${open}")
  message(FATAL_ERROR "${count} texts of the sources have no finished translation in ${name}:\n  ${open}")
endif()
message(STATUS "Every text of the sources has a translation in ${name}")
