# The tool's man page, made at build time from the tool's own help (see
# ManPage.cmake), and its bash completion, which asks the tool itself what
# may come next: neither needs an edit when a subcommand or option changes.
option(KESTRINE_BUILD_MAN "Generate the man page kestrine(1) with help2man" ON)
if(KESTRINE_BUILD_MAN)
  find_program(KESTRINE_HELP2MAN help2man)
  if(NOT KESTRINE_HELP2MAN)
    message(FATAL_ERROR "The kestrine tool's man page is made with help2man "
      "(scripts/setup installs it; or apt-get install help2man); "
      "configure with -DKESTRINE_BUILD_MAN=OFF to build without it.")
  endif()
  set(KESTRINE_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/kestrine.1.gz)
  add_custom_command(OUTPUT ${KESTRINE_MAN_PAGE}
    COMMAND ${CMAKE_COMMAND}
      -D TOOL=$<TARGET_FILE:kestrine_tool>
      -D HELP2MAN=${KESTRINE_HELP2MAN}
      -D LICENSE=${PROJECT_SOURCE_DIR}/LICENSE
      -D MANUAL=${CMAKE_INSTALL_FULL_DATAROOTDIR}/doc/kestrine/cli.md
      -D OUTPUT=${KESTRINE_MAN_PAGE}
      -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS kestrine_tool ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake ${PROJECT_SOURCE_DIR}/LICENSE
    COMMENT "Generating the man page kestrine(1) from the tool's help"
    VERBATIM)
  add_custom_target(kestrine_man ALL DEPENDS ${KESTRINE_MAN_PAGE})
  install(FILES ${KESTRINE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/tools/completion.bash
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
  RENAME kestrine
  COMPONENT tool)
