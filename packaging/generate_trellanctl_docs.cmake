# Writes trellanctl's man page and bash completion from the program itself (trellanctl --man,
# trellanctl --completion bash). A trellanctl that cannot produce them yet gets a man page built
# from its --help texts and the completion kept in this folder.
# Arguments: TRELLANCTL, MAN_OUT, COMPLETION_OUT, SOURCE_DIR.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")

# write(OUT COMMAND...): OUT gets COMMAND's output when it succeeds with some; returns ok=FALSE otherwise.
function(write out)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(status EQUAL 0 AND NOT text STREQUAL "")
    file(WRITE ${out}.tmp "${text}")
    file(COPY_FILE ${out}.tmp ${out} ONLY_IF_DIFFERENT)
    file(REMOVE ${out}.tmp)
    file(TOUCH_NOCREATE ${out})
    set(ok TRUE PARENT_SCOPE)
  else()
    set(ok FALSE PARENT_SCOPE)
    set(errors "${errors}" PARENT_SCOPE)
  endif()
endfunction()

write(${MAN_OUT} ${TRELLANCTL} --man)
if(NOT ok)
  write(${MAN_OUT} sh ${SOURCE_DIR}/trellanctl-man-from-help.sh ${TRELLANCTL})
  if(NOT ok)
    message(FATAL_ERROR "trellanctl's man page could not be written: ${errors}")
  endif()
endif()

write(${COMPLETION_OUT} ${TRELLANCTL} --completion bash)
if(NOT ok)
  file(COPY_FILE ${SOURCE_DIR}/completion/trellanctl.bash ${COMPLETION_OUT} ONLY_IF_DIFFERENT)
  file(TOUCH_NOCREATE ${COMPLETION_OUT})
endif()
