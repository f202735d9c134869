# Sourced by the sanitizer and fuzz scripts: what the sanitizers report and what they forgive.
# Leaks are only forgiven inside the system libraries listed in lsan.supp (Qt's and fontconfig's
# process-lifetime caches); everything of ours must free what it allocates.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1:strict_init_order=1:abort_on_error=0:halt_on_error=1:${ORV_EXTRA_ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$here/ubsan.supp"
