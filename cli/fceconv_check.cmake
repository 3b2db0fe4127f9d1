# Runs the real fceconv binary (under the emulator for a cross build) on the sample car:
#   cmake -DFCECONV=... [-DEMULATOR=...] -DSAMPLES=... -DWORK=... -P fceconv_check.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out)
file(COPY ${SAMPLES}/sample_car.fce ${SAMPLES}/sample_car_damaged.fce DESTINATION ${WORK})
file(WRITE ${WORK}/bad.fce "not a car")

# run(STATUS args...): runs fceconv in WORK; its output is in OUT and ERR afterwards.
function(run expected)
    execute_process(COMMAND ${EMULATOR} ${FCECONV} ${ARGN} WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL expected)
        message(FATAL_ERROR "fceconv ${ARGN}: exit status ${status}, expected ${expected}\n${out}${err}")
    endif()
    set(OUT "${out}" PARENT_SCOPE)
    set(ERR "${err}" PARENT_SCOPE)
endfunction()

function(same a b)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${a} ${WORK}/${b} RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${a} and ${b} differ")
    endif()
endfunction()

run(0 --version)
if(NOT OUT MATCHES "^fceconv [0-9]+\\.[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "--version printed: ${OUT}")
endif()
run(2)
run(2 convert --to kesh sample_car.fce)

# Verro3 with its damaged car -> Kesh -> both Verro3 files again, byte for byte.
run(0 convert --to kesh --damaged sample_car_damaged.fce -o car_kesh.fce sample_car.fce)
run(0 convert --to verro3 -o back.fce car_kesh.fce)
run(0 convert --to verro3-damaged -o back_damaged.fce car_kesh.fce)
same(back.fce sample_car.fce)
same(back_damaged.fce sample_car_damaged.fce)

run(1 convert --to kesh -o car_kesh.fce sample_car.fce)
if(NOT ERR MATCHES "fceconv: sample_car.fce: car_kesh.fce exists")
    message(FATAL_ERROR "no refusal to overwrite: ${ERR}")
endif()
run(1 convert --force --to verro3 -o sample_car.fce sample_car.fce)
same(back.fce sample_car.fce)

run(0 info --json car_kesh.fce sample_car.fce)
string(JSON count LENGTH "${OUT}")
string(JSON layout GET "${OUT}" 0 layout)
string(JSON vertices GET "${OUT}" 1 vertexCount)
string(JSON driver GET "${OUT}" 1 partNames 5)
if(NOT count EQUAL 2 OR NOT layout STREQUAL "kesh" OR NOT vertices EQUAL 95 OR NOT driver STREQUAL ":OD")
    message(FATAL_ERROR "info --json printed: ${OUT}")
endif()

run(1 convert --to kesh -d out sample_car.fce bad.fce sample_car_damaged.fce)
if(NOT ERR MATCHES "fceconv: bad.fce: the file is 9 bytes, shorter than the 7940-byte Verro3 header")
    message(FATAL_ERROR "the bad file was not reported: ${ERR}")
endif()
if(NOT EXISTS ${WORK}/out/sample_car.fce OR NOT EXISTS ${WORK}/out/sample_car_damaged.fce OR
   EXISTS ${WORK}/out/bad.fce)
    message(FATAL_ERROR "the batch did not write the good files only")
endif()
