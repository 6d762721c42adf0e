# SPDX-License-Identifier: MIT
# The suites of the other builds, each a test of this one, so that one ctest run gives one
# summary and runs independent suites side by side. Each builds in its own preset's folder;
# `cmake --workflow --preset NAME` (or `ctest --preset NAME`) runs one without this tree.
set(source ${PROJECT_SOURCE_DIR})
function(rms_suite name label)
  add_test(NAME ${name} COMMAND ${ARGN} WORKING_DIRECTORY ${source})
  # A suite builds a tree of its own first; ctest's default of 25 minutes is for one test.
  set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT 3600)
endfunction()

# The whole native suite built with AddressSanitizer and UndefinedBehaviorSanitizer (no
# recovery): any report aborts the test that made it.
rms_suite(asan asan ${CMAKE_COMMAND} --workflow --preset asan)
set_tests_properties(asan PROPERTIES COST 100)

# The libraries without Qt and their tests, golden table included, for aarch64 and i686
# under qemu-user: every processor must give the same bits.
foreach(arch aarch64 i686)
  rms_suite(cross_${arch} cross ${CMAKE_COMMAND} --workflow --preset ${arch})
endforeach()

# The WebAssembly build's tests under node (the golden table and a million conversion cases
# written by a native build), and the page built from it in chromium, which needs only the
# site. All of them work in build-web, one at a time: two ctest runs there would write over
# each other's logs, and a configure under a running ctest rewrites its test list.
rms_suite(site_build browser ${CMAKE_COMMAND} --workflow --preset site)
rms_suite(wasm_build wasm ${CMAKE_COMMAND} --workflow --preset wasm)
rms_suite(wasm wasm ${CMAKE_CTEST_COMMAND} --preset wasm)
rms_suite(browser browser ${CMAKE_CTEST_COMMAND} --preset browser)
set_tests_properties(site_build PROPERTIES FIXTURES_SETUP site COST 90)
set_tests_properties(wasm_build PROPERTIES FIXTURES_SETUP wasm_build FIXTURES_REQUIRED site)
set_tests_properties(browser PROPERTIES FIXTURES_REQUIRED site)
set_tests_properties(wasm PROPERTIES FIXTURES_REQUIRED wasm_build)
set_tests_properties(site_build wasm_build wasm browser PROPERTIES RESOURCE_LOCK build-web)

# The Windows release, built and used under Wine: 0 passed, 77 could not run here.
rms_suite(windows windows bash scripts/windows_release.sh --test)
set_tests_properties(windows PROPERTIES COST 80)
rms_skippable(windows)

# Each libFuzzer target for RMS_FUZZ_SECONDS from its committed seeds (and, for the batch,
# the long ones its build writes). The batch reads lines of up to 1 MiB, so its inputs may be
# that long, and one that takes seconds to read is a finding: reading is linear, and a whole
# 1 MiB input reads in well under a second even here.
set(fuzz_seeds_batch ${source}/build-fuzz/fuzz/seeds/batch)
set(fuzz_options_batch "-max_len=1050000 -timeout=5")
rms_suite(fuzz_build fuzz ${CMAKE_COMMAND} --workflow --preset fuzz)
set_tests_properties(fuzz_build PROPERTIES FIXTURES_SETUP fuzz_build)
foreach(target text_to_single press batch figure)
  rms_suite(fuzz_${target} fuzz ${CMAKE_COMMAND} -DFUZZER=${source}/build-fuzz/fuzz/fuzz_${target}
    -DSEEDS=${source}/fuzz/corpus/${target} "-DBUILT_SEEDS=${fuzz_seeds_${target}}"
    "-DOPTIONS=${fuzz_options_${target}}" -DDICT=${source}/fuzz/rms.dict
    -DCORPUS=${source}/build-fuzz/corpus/${target} -DFINDINGS=${source}/build-fuzz/findings
    -P ${source}/fuzz/run_fuzzer.cmake)
  set_tests_properties(fuzz_${target} PROPERTIES FIXTURES_REQUIRED fuzz_build)
  rms_skippable(fuzz_${target})
endforeach()

# The command-line tests and the browser suite from a clone in an awkward folder, in a German
# locale.
rms_suite(anywhere anywhere bash scripts/anywhere_check.sh ${PROJECT_BINARY_DIR}/anywhere)
