# Optimised builds for ELF systems get what distributions build their packages with: the C
# library's checked variants of string and memory calls, and a global offset table that is
# read-only once the loader has resolved every symbol at start. Test builds under the
# sanitizers are not Release builds and keep their own interceptors.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT APPLE)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
