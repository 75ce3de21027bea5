#!/usr/bin/env bash
# Builds and runs every test: the plain build, the sanitizer build and the fuzzer.
#   scripts/test.sh            all stages
#   scripts/test.sh STAGE...   only the named stages: unit, sanitize, fuzz, package
set -euo pipefail
cd "$(dirname "$0")/.."
stages=("$@")
[ "${#stages[@]}" -gt 0 ] || stages=(unit sanitize fuzz package)

bash scripts/install-deps.sh --test

# Qt wants a private runtime directory; without one it warns in every test.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

# run_ctest BUILD_DIR [WRAPPER...]: the tests of BUILD_DIR, started through WRAPPER if given.
run_ctest() {
    local dir="$1"
    shift
    # GUI tests need an X server; the GL tests need none, but run under the same one.
    "$@" xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -j 2 --timeout 600
}

for stage in "${stages[@]}"; do
    echo "== stage: $stage"
    case "$stage" in
    unit)
        bash scripts/check-layers.sh
        shellcheck -x .ci/run scripts/*.sh tests/scripts/*.sh tests/support/*.sh
        shellcheck -s bash tools/kavelo-render.bash-completion
        bash scripts/function-length.sh
        bash scripts/build.sh build -DKAVELO_TESTS=ON -DKAVELO_BENCH=ON
        run_ctest build
        ;;
    sanitize)
        bash scripts/build.sh build-asan -DKAVELO_SANITIZE=ON -DKAVELO_TESTS=ON -DKAVELO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
        # intercept_tls_get_addr=0: GCC 12's runtime mistakes some of Mesa's dynamic TLS blocks
        # for an old glibc header, and the leak check's tracer then dies at exit now and then.
        # A session bus of their own: Qt's accessibility bridge and its menu bar look for one, and
        # without it libdbus's failed attempt to start one leaks blocks whose stack the leak
        # check's fast unwinder loses, so that no suppression can name them.
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
            LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            run_ctest build-asan dbus-run-session --
        ;;
    fuzz)
        CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DKAVELO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
        corpus="build-fuzz/corpus"
        rm -rf "$corpus" && mkdir -p "$corpus"
        find tests/data examples -name '*.txt' -exec cp {} "$corpus"/ \;
        ./build-fuzz/tests/fuzz/reader_fuzz -max_total_time=60 -timeout=10 -rss_limit_mb=4096 \
            -max_len=65536 -print_final_stats=1 "$corpus"
        ;;
    package)
        bash scripts/check-package.sh build-package
        ;;
    *)
        echo "unknown stage: $stage" >&2
        exit 2
        ;;
    esac
done
echo "== all stages passed: ${stages[*]}"
