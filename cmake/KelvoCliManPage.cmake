# Writes the manual page of kelvo-cli (cmake -P, at build time): help2man
# makes it from `kelvo-cli --help` and `--version`, with the hand-written
# sections of docs/man/kelvo-cli.h2m and a COMMANDS section made here from
# every subcommand's own --help, so that the page says what the program
# does. Then compresses it as Debian wants (gzip -9n).
#
# -D CLI=path of kelvo-cli -D HELP2MAN=path -D INCLUDE=kelvo-cli.h2m
# -D OUTPUT=kelvo-cli.1 -D EPOCH=seconds (the date on the page)
cmake_minimum_required(VERSION 3.22)
include(${CMAKE_CURRENT_LIST_DIR}/KelvoDocs.cmake)

# The programs are run by their name, so that help texts say "kelvo-cli",
# not the path of the build folder.
get_filename_component(cli_dir "${CLI}" DIRECTORY)
set(ENV{PATH} "${cli_dir}:$ENV{PATH}")
set(ENV{SOURCE_DATE_EPOCH} "${EPOCH}")

function(run_cli out)
  execute_process(COMMAND kelvo-cli ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "kelvo-cli ${ARGN} failed with ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The subcommands, in the order of the main help.
run_cli(help --help)
kelvo_text_lines("${help}" lines)
set(commands "")
set(in_list FALSE)
foreach(line IN LISTS lines)
  if(line STREQUAL "Subcommands:")
    set(in_list TRUE)
  elseif(in_list AND line MATCHES "^  ([a-z-]+)  ")
    list(APPEND commands "${CMAKE_MATCH_1}")
  elseif(in_list AND line STREQUAL "")
    break()
  endif()
endforeach()
if(commands STREQUAL "")
  message(FATAL_ERROR "kelvo-cli --help lists no subcommands")
endif()

# One subsection per subcommand: its usage, what it does, and a tagged
# paragraph for every argument and option but --help.
set(roff "[COMMANDS]\n")
foreach(command IN LISTS commands)
  run_cli(text ${command} --help)
  kelvo_text_lines("${text}" lines)
  list(GET lines 0 summary)
  set(usage "")
  set(entries "")
  set(pending "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^Usage: kelvo-cli (.*)$")
      set(usage "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  [^ ]")
      # "  NAME TYPE   description", or the name alone with the description
      # on the next line. (if() evaluates every MATCHES of a condition, so
      # the two forms are told apart one after the other.)
      set(description "")
      if(line MATCHES "^  ([^ ].*[^ ])  +([^ ].*)$")
        set(left "${CMAKE_MATCH_1}")
        set(description "${CMAKE_MATCH_2}")
      else()
        string(STRIP "${line}" left)
      endif()
      if(left MATCHES "^-h,--help")
        set(pending "")
        continue()
      endif()
      kelvo_roff_escape("${left}" left)
      string(REGEX REPLACE "^([^ ]+)" "\\\\fB\\1\\\\fR" left "${left}")
      set(pending "${left}")
      if(NOT description STREQUAL "")
        kelvo_roff_escape("${description}" description)
        string(APPEND entries ".TP\n${pending}\n${description}\n")
        set(pending "")
      endif()
    elseif(line MATCHES "^   +([^ ].*)$" AND NOT pending STREQUAL "")
      kelvo_roff_escape("${CMAKE_MATCH_1}" description)
      string(APPEND entries ".TP\n${pending}\n${description}\n")
      set(pending "")
    endif()
  endforeach()
  kelvo_roff_escape("${usage}" usage)
  kelvo_roff_escape("${summary}" summary)
  string(APPEND roff ".SS \"kelvo\\-cli ${usage}\"\n${summary}.\n${entries}")
endforeach()
kelvo_text_decode("${roff}" roff)
file(WRITE "${OUTPUT}.commands.h2m" "${roff}")

execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--name=batch interface to KELVO table-set files"
          --include=${OUTPUT}.commands.h2m --include=${INCLUDE} --output=${OUTPUT} kelvo-cli
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed with ${status}")
endif()
execute_process(COMMAND gzip -9nf "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${OUTPUT} failed with ${status}")
endif()
