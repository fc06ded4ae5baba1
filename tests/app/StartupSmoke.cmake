# Starts the real program on the virtual meter from a folder of its own and checks what it leaves:
# the variant's INI file beside the executable, made from the meter's answers.
set(dir "${WORK_DIR}/startup-smoke")
file(REMOVE_RECURSE "${dir}")
file(MAKE_DIRECTORY "${dir}")
file(COPY "${PELICARD}" DESTINATION "${dir}")
get_filename_component(name "${PELICARD}" NAME)
set(ENV{QT_QPA_PLATFORM} offscreen)

execute_process(COMMAND "${dir}/${name}" --version OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version MATCHES "Pelicard [0-9]+\\.[0-9]+")
  message(FATAL_ERROR "--version printed '${version}' (exit ${result})")
endif()

execute_process(COMMAND "${dir}/${name}" --virtual-meter=volts RESULT_VARIABLE result ERROR_VARIABLE error)
if(result EQUAL 0 OR NOT error MATCHES "5k, 50k or motor")
  message(FATAL_ERROR "an unknown variant was not refused (exit ${result}): ${error}")
endif()

foreach(variant IN ITEMS "--virtual-meter" "--virtual-meter=motor")
  # The program runs until it is closed; the time-out ends it once it is up.
  execute_process(COMMAND "${dir}/${name}" ${variant} TIMEOUT 6 RESULT_VARIABLE result)
endforeach()

file(READ "${dir}/Logger_50k.ini" ini)
if(NOT ini MATCHES "\\[Caption\\]\nCaption=Virtual 50,000 Count Data Logger DMM\n\\[Modelid\\]\nModelid=1\n\\[grdFname\\]")
  message(FATAL_ERROR "Logger_50k.ini holds:\n${ini}")
endif()
file(READ "${dir}/Motorcal.ini" ini)
if(NOT ini MATCHES "Modelid=4\n")
  message(FATAL_ERROR "Motorcal.ini holds:\n${ini}")
endif()
message(STATUS "startup smoke test passed")
