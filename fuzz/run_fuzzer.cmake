# SPDX-License-Identifier: MIT
# Runs one libFuzzer target for RMS_FUZZ_SECONDS (environment, default 60; 0 skips) from
# the committed seeds, the seeds its build wrote (BUILT_SEEDS, if any) and what earlier runs
# in the build folder found. A crash, a sanitizer report, a leak or an input slower than
# 10 s is a finding: the input is kept in FINDINGS. OPTIONS are the target's own libFuzzer
# options, separated by blanks, which may set another -timeout or a -max_len.
#   cmake -DFUZZER= -DSEEDS= [-DBUILT_SEEDS=] [-DOPTIONS=] -DDICT= -DCORPUS= -DFINDINGS=
#         -P run_fuzzer.cmake
set(seconds 60)
if(DEFINED ENV{RMS_FUZZ_SECONDS})
  set(seconds "$ENV{RMS_FUZZ_SECONDS}")
endif()
if(NOT seconds MATCHES "^[0-9]+$")
  message(FATAL_ERROR "RMS_FUZZ_SECONDS is a number of seconds, not '${seconds}'")
elseif(seconds EQUAL 0)
  message("skipped: RMS_FUZZ_SECONDS=0")
  return()
endif()
file(MAKE_DIRECTORY ${CORPUS} ${FINDINGS})
get_filename_component(name ${FUZZER} NAME)
set(log ${FINDINGS}/../${name}.log)
separate_arguments(options UNIX_COMMAND "${OPTIONS}")
set(seed_folders "${SEEDS}")
if(BUILT_SEEDS)
  list(APPEND seed_folders "${BUILT_SEEDS}")
endif()
# libFuzzer takes the last of an option given twice.
execute_process(COMMAND ${FUZZER} -max_total_time=${seconds} -timeout=10 ${options}
                        -dict=${DICT} -artifact_prefix=${FINDINGS}/ -print_final_stats=1
                        ${CORPUS} ${seed_folders}
  OUTPUT_FILE ${log} ERROR_FILE ${log} RESULT_VARIABLE status)
file(READ ${log} output)
if(NOT status EQUAL 0)
  string(LENGTH "${output}" length)
  if(length GREATER 6000)
    math(EXPR from "${length} - 6000")
    string(SUBSTRING "${output}" ${from} -1 output)
  endif()
  message(FATAL_ERROR "${output}\n${name} found a problem; the input is in ${FINDINGS}")
endif()
string(REGEX MATCHALL "stat::(number_of_executed_units|average_exec_per_sec):[ \t]*[0-9]+"
  stats "${output}")
list(JOIN stats "\n" stats)
message("${name}: ${seconds} s\n${stats}")
