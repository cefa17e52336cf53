# Sanitizer settings shared by tools/sanitize and tools/fuzz; source it.
# Every entry here is a known false positive or a deliberate choice, with the
# reason beside it. Nothing in the program's own code is silenced.

# Abort on the first report so that a test or a fuzz run fails visibly.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="print_suppressions=0"
