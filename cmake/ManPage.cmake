# Writes the man page kestrine(1) from the tool's own help with help2man,
# the help of every subcommand included, so that the page cannot say other
# than the tool. The subcommands are those the tool offers for completion.
#
#   cmake -D TOOL=<kestrine> -D HELP2MAN=<help2man> -D LICENSE=<LICENSE>
#         -D MANUAL=<where cli.md is installed> -D OUTPUT=<kestrine.1.gz>
#         -P ManPage.cmake
#
# Also leaves the uncompressed page beside OUTPUT.
cmake_minimum_required(VERSION 3.25)
foreach(argument TOOL HELP2MAN LICENSE MANUAL OUTPUT)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "ManPage.cmake needs -D ${argument}=...")
  endif()
endforeach()
get_filename_component(work "${OUTPUT}" DIRECTORY)
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")

function(run_tool variable)
  execute_process(COMMAND "${TOOL}" ${ARGN}
    OUTPUT_VARIABLE output RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kestrine ${ARGN} failed: ${result}")
  endif()
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

# Text for roff's no-fill mode: backslashes and minus signs escaped, and no
# line that starts with a control character.
function(roff_text variable text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# The first line of the help, "Lists, ... of a script.", names the page.
run_tool(help --help)
string(REGEX MATCH "^[^\n]*" name "${help}")
string(REGEX REPLACE "\\.$" "" name "${name}")
string(SUBSTRING "${name}" 0 1 first)
string(SUBSTRING "${name}" 1 -1 rest)
string(TOLOWER "${first}" first)
set(name "${first}${rest}")

run_tool(words __complete "")
string(REPLACE "\n" ";" words "${words}")
list(POP_FRONT words)
list(FILTER words EXCLUDE REGEX "^$")

set(include "[SUBCOMMANDS]\n")
foreach(subcommand IN LISTS words)
  run_tool(help ${subcommand} --help)
  roff_text(help "${help}")
  string(APPEND include ".SS \"kestrine ${subcommand}\"\n.nf\n${help}.fi\n")
endforeach()

file(STRINGS "${LICENSE}" copyright REGEX "^Copyright")
roff_text(copyright "${copyright}")
roff_text(manual "${MANUAL}")
string(APPEND include
  "[FILES]\n"
  ".TP\n.I FOLDER/WSDL/web_services.ini\n"
  "The services file of the script in FOLDER.\n"
  "[COPYRIGHT]\n${copyright}. MIT License.\n"
  "[SEE ALSO]\n"
  "The full description of every subcommand, with examples: ${manual}\n")
file(WRITE "${work}/kestrine.h2m" "${include}")

execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--name=${name}"
    "--include=${work}/kestrine.h2m" "--output=${page}" "${TOOL}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${result}")
endif()

find_program(GZIP gzip REQUIRED)
execute_process(COMMAND "${GZIP}" -9 -n -c "${page}" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed: ${result}")
endif()
