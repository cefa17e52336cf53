# Sanitizer settings shared by tools/sanitize and tools/fuzz. Source it with a
# folder (in the build tree) where it may write the suppression list.
#
# What is turned off or suppressed here is a known false positive outside this
# program's code, with the reason beside it. Nothing in the program itself is
# silenced.

pendra_sanitizer_folder="${1:?a folder for the suppression list}"
mkdir -p "$pendra_sanitizer_folder"

cat > "$pendra_sanitizer_folder/leaks.supp" <<'SUPPRESSIONS'
# Qt's D-Bus thread (tray, portals) is still inside libdbus when the process
# exits, so a buffer libdbus holds for it is seen as lost.
leak:libdbus-1.so
SUPPRESSIONS

# abort_on_error: a report fails the test or the fuzz run that met it.
# detect_stack_use_after_return: also catch references into dead stack frames.
#
# alloc_dealloc_mismatch=0: Qt 6.4's JSON parser allocates a buffer with
#   new (std::nothrow) and frees it with free() when the text outgrows its
#   first guess (QJsonDocument::fromJson, reading the shipped charms.json);
#   Qt's own mismatch, harmless with glibc's allocator. Neither GCC 12's nor
#   clang 14's AddressSanitizer can suppress this kind of report by function,
#   so the check is off.
# strict_string_checks stays off: libxkbcommon-x11 legally hands strndup() a
#   buffer without a terminating zero, which that check reports.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:alloc_dealloc_mismatch=0"
export LSAN_OPTIONS="suppressions=$pendra_sanitizer_folder/leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
