# The hardening a distribution builds with: stack protector and stack clash
# protection, FORTIFY (where the build optimises), read-only relocations bound
# at start (RELRO, BIND_NOW) and a position-independent executable. On by
# default, so that the package made from any build passes hardening-check (the
# package test checks it); scripts/package.sh takes Debian's own flags from
# dpkg-buildflags instead. Off under the sanitizers and the fuzzer, which bring
# their own checks and dislike FORTIFY.
option(UMBRANE_HARDENING "Build with the usual hardening flags (stack protector, FORTIFY, RELRO, BIND_NOW, PIE)" ON)
if(UMBRANE_HARDENING AND NOT UMBRANE_SANITIZE AND NOT UMBRANE_FUZZ)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
                      "$<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>")
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
