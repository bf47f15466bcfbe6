# Writes trellanctl's man page and bash completion from the program itself, from the one
# description of its commands (trellanctl --man, trellanctl --completion bash).
# Arguments: TRELLANCTL, MAN_OUT, COMPLETION_OUT.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")

# write(OUT ARGS...): OUT gets what trellanctl ARGS prints; replaced only when it changed.
function(write out)
  execute_process(COMMAND ${TRELLANCTL} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "trellanctl ${ARGN} failed (${status}): ${errors}")
  endif()
  file(WRITE ${out}.tmp "${text}")
  file(COPY_FILE ${out}.tmp ${out} ONLY_IF_DIFFERENT)
  file(REMOVE ${out}.tmp)
  file(TOUCH_NOCREATE ${out})
endfunction()

write(${MAN_OUT} --man)
write(${COMPLETION_OUT} --completion bash)
