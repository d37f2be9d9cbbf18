# The fuzz targets, one per parser: NAME is NAME.cpp beside this file, its
# seed corpus corpus/NAME/ and the inputs it once crashed on regressions/NAME/.
# The fuzz build (BSC_FUZZ) links each with libFuzzer; the normal build
# replays the seeds and regressions with replay.cpp. A new target is one
# more name here.
set(BSC_FUZZ_TARGETS
  statement
  csv
  address
  memo
  table
  values
)
