# Runs the real fceconv binary (under the emulator for a cross build) on the sample car:
#   cmake -DFCECONV=... [-DEMULATOR=...] -DSAMPLES=... -DWORK=... -P fceconv_check.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out)
file(COPY ${SAMPLES}/sample_car.fce ${SAMPLES}/sample_car_damaged.fce DESTINATION ${WORK})
file(WRITE ${WORK}/bad.fce "not a car")

# run(STATUS args...): runs fceconv in WORK, expecting the exit status; its stderr is in ERR.
function(run expected)
    execute_process(COMMAND ${EMULATOR} ${FCECONV} ${ARGN} WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL expected)
        message(FATAL_ERROR "fceconv ${ARGN}: exit status ${status}, expected ${expected}\n${out}${err}")
    endif()
    set(ERR "${err}" PARENT_SCOPE)
endfunction()

function(same a b)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${a} ${WORK}/${b} RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${a} and ${b} differ")
    endif()
endfunction()

run(0 --version)
run(2 convert --to kesh sample_car.fce)
# Verro3 with its damaged car -> Kesh -> both Verro3 files again, byte for byte.
run(0 convert --to kesh --damaged sample_car_damaged.fce -o car_kesh.fce sample_car.fce)
run(0 convert --to verro3 -o back.fce car_kesh.fce)
run(0 convert --to verro3-damaged -o back_damaged.fce car_kesh.fce)
same(back.fce sample_car.fce)
same(back_damaged.fce sample_car_damaged.fce)
# One bad file among good ones: the status says so, the good one is written.
run(1 convert --to kesh -d out bad.fce sample_car.fce)
if(NOT EXISTS ${WORK}/out/sample_car.fce OR EXISTS ${WORK}/out/bad.fce)
    message(FATAL_ERROR "the batch did not write the good file only: ${ERR}")
endif()
# The sample car has no error, and exports beside the converted files.
run(0 check sample_car.fce out/sample_car.fce)
# A car and its conversion are the same car; its damaged variant is another; a bad file stops.
run(0 diff sample_car.fce out/sample_car.fce)
run(1 diff sample_car.fce sample_car_damaged.fce)
run(2 diff sample_car.fce bad.fce)
run(0 export --obj -d out sample_car.fce)
if(NOT EXISTS ${WORK}/out/sample_car.obj)
    message(FATAL_ERROR "export wrote no out/sample_car.obj: ${ERR}")
endif()
# Out to a 3D editor and back with the car and its damaged mesh: with the car as base, the file
# convert writes but for the half-sizes (the 12 bytes at 76).
run(0 export --obj -o car.obj car_kesh.fce)
run(0 import --to kesh --base car_kesh.fce -o imported.fce car.obj)
run(0 convert --to kesh -o converted.fce car_kesh.fce)
file(READ ${WORK}/imported.fce imported HEX)
file(READ ${WORK}/converted.fce converted HEX)
foreach(text IN ITEMS imported converted)
    string(SUBSTRING "${${text}}" 0 152 head)
    string(SUBSTRING "${${text}}" 176 -1 tail)
    set(${text} "${head}${tail}")
endforeach()
if(NOT imported STREQUAL converted OR imported STREQUAL "")
    message(FATAL_ERROR "export and import --base did not give the converted car back")
endif()
