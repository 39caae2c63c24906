# One target carries the warning flags so every layer builds with the same rules.
add_library(korvaster_warnings INTERFACE)
target_compile_options(korvaster_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast
  $<$<BOOL:${KORVASTER_WERROR}>:-Werror>)
