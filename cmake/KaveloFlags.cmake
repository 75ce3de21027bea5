# Compiler and linker flags, one interface target per purpose; every target of the project links
# kavelo_flags, which gathers them, so the flags are the project's own and no directory's.
#   kavelo_warnings    warnings on
#   kavelo_sanitizers  AddressSanitizer and UndefinedBehaviorSanitizer (KAVELO_SANITIZE), and the
#                      fuzzer's coverage on top of them (KAVELO_FUZZ)
#   kavelo_hardening   fortified sources, stack protection, PIE, relro and now (KAVELO_HARDEN)

add_library(kavelo_warnings INTERFACE)
target_compile_options(kavelo_warnings INTERFACE -Wall -Wextra -Wpedantic)

add_library(kavelo_sanitizers INTERFACE)
if(KAVELO_FUZZ)
    # The code under test is instrumented too, so that the fuzzer sees its coverage.
    target_compile_options(kavelo_sanitizers INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(kavelo_sanitizers INTERFACE -fsanitize=address,undefined)
elseif(KAVELO_SANITIZE)
    target_compile_options(kavelo_sanitizers INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(kavelo_sanitizers INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

add_library(kavelo_hardening INTERFACE)
if(KAVELO_HARDEN)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    target_compile_options(kavelo_hardening INTERFACE
        -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection)
    target_link_options(kavelo_hardening INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

add_library(kavelo_flags INTERFACE)
target_link_libraries(kavelo_flags INTERFACE kavelo_warnings kavelo_sanitizers kavelo_hardening)
