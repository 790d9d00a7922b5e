#!/usr/bin/env bash
# The whole test run: installs what is missing, builds every preset and runs every
# suite (native, native under ASan+UBSan, the Windows build under Wine, short fuzz
# runs). Ends with one line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD
log=$top/build/test-logs
mkdir -p "$log"
passed=0
failed=0
steps_failed=()

clisuite() { # $1: name; $2: paiview binary. The command's tests, run as a process.
    local name=$1 bin=$2
    echo "== $name"
    PAIVIEW=$bin python3 tests/cli/run.py >"$log/$name.log" 2>&1
    local rc=$?
    local line p f
    line=$(grep -E '^cli: [0-9]+ passed, [0-9]+ failed' "$log/$name.log" | tail -n 1)
    p=$(echo "$line" | awk '{print $2+0}')
    f=$(echo "$line" | awk '{print $4+0}')
    passed=$((passed + p))
    failed=$((failed + f))
    echo "   ${line:-cli: no summary}"
    if [ $rc -ne 0 ]; then
        echo "   FAILED: see $log/$name.log"
        grep -E '^(FAIL|ERROR):|Error|assert' "$log/$name.log" | head -n 30 | sed 's/^/   | /'
        steps_failed+=("$name")
    fi
}

count() { # $1: gtest log file; adds its totals
    local p f
    p=$(sed -E 's/^[0-9]+: //' "$1" | grep -E '^\[  PASSED  \] [0-9]+ test' | awk '{s+=$4} END {print s+0}')
    f=$(sed -E 's/^[0-9]+: //' "$1" | grep -E '^\[  FAILED  \] [0-9]+ test' | awk '{s+=$4} END {print s+0}')
    passed=$((passed + p))
    failed=$((failed + f))
}

step() { # $1: name; rest: command
    local name=$1
    shift
    echo "== $name"
    if ! "$@" >"$log/$name.log" 2>&1; then
        echo "   FAILED: see $log/$name.log"
        tail -n 40 "$log/$name.log" | sed 's/^/   | /'
        steps_failed+=("$name")
        return 1
    fi
    return 0
}

suite() { # $1: name; $2: build dir
    local name=$1 dir=$2
    echo "== $name"
    (cd "$dir" && ctest -V --timeout 900) >"$log/$name.log" 2>&1
    local rc=$?
    count "$log/$name.log"
    sed -E 's/^[0-9]+: //' "$log/$name.log" | grep -E '^\[  (PASSED|FAILED)  \] [0-9]+ test' | sed 's/^/   /'
    grep -h -E '^sample: ' "$log/$name.log" | sed 's/^/   /'
    if [ $rc -ne 0 ]; then
        echo "   FAILED: see $log/$name.log"
        grep -E '^\[  FAILED  \]|Failure|error' "$log/$name.log" | head -n 30 | sed 's/^/   | /'
        steps_failed+=("$name")
    fi
}

scripts/deps.sh all || { echo "0 passed, 1 failed"; exit 1; }

if step build-native bash -c 'cmake --preset native && cmake --build --preset native'; then
    build/native/scorecheck samples/tonpuso.txt | sed 's/^/   /'
    suite native build/native
    clisuite cli build/native/paiview
fi
# The page (tests/web): the command built for WebAssembly, compared byte for byte under
# Node with the native build above, and the page worked in headless Chromium.
websuite() {
    echo "== web"
    PAIVIEW=$top/build/native/paiview python3 tests/web/run.py >"$log/web.log" 2>&1
    local rc=$?
    local line
    line=$(grep -E '^web: [0-9]+ passed, [0-9]+ failed' "$log/web.log" | tail -n 1)
    passed=$((passed + $(echo "$line" | awk '{print $2+0}')))
    failed=$((failed + $(echo "$line" | awk '{print $4+0}')))
    echo "   ${line:-web: no summary}; page $(stat -c %s build/web/paiview.html 2>/dev/null) bytes"
    if [ $rc -ne 0 ]; then
        echo "   FAILED: see $log/web.log"
        grep -E '^(FAIL|ERROR):|Error|assert' "$log/web.log" | head -n 30 | sed 's/^/   | /'
        steps_failed+=(web)
    fi
}
if [ -x build/native/paiview ] &&
    step build-web bash -c 'cmake --preset web && cmake --build --preset web'; then
    websuite
fi
if step build-sanitize bash -c 'cmake --preset native-sanitize && cmake --build --preset native-sanitize'; then
    export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    suite native-sanitize build/native-sanitize
    clisuite cli-sanitize build/native-sanitize/paiview
    unset ASAN_OPTIONS UBSAN_OPTIONS
fi
# The Windows suites: the i686 build under 32-bit Wine, or, where this machine cannot
# run 32-bit programs (IA-32 emulation off in the kernel), the x86_64 build under
# 64-bit Wine in a prefix of its own.
if timeout 20 /lib/ld-linux.so.2 --version >/dev/null 2>&1 && dpkg -s wine32:i386 >/dev/null 2>&1; then
    win=win32 winearch=win32 prefix=$top/build/wine-test
else
    echo "== win32: this machine cannot run 32-bit programs (or has no 32-bit Wine); the Windows suites run on the x86_64 build under 64-bit Wine"
    win=win64 winearch=win64 prefix=$top/build/wine-test64
fi
if step build-$win bash -c "cmake --preset $win && cmake --build --preset $win"; then
    # The tests' own prefix: what they store never reaches the prefix of `make run`.
    export PAIVIEW_WINEPREFIX=$prefix PAIVIEW_WINEARCH=$winearch
    . scripts/wine-env.sh || steps_failed+=("$win")
    export top win
    # One display and one wineserver for every Windows suite.
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        scripts/wine-prefix.sh
        wineserver -p 60
        (cd build/$win && ctest -V --timeout 900)
        rc=$?
        wineserver -k 2>/dev/null
        exit $rc' >"$log/$win.log" 2>&1
    rc=$?
    echo "== $win (under Wine)"
    count "$log/$win.log"
    sed -E 's/^[0-9]+: //' "$log/$win.log" | grep -E '^\[  (PASSED|FAILED)  \] [0-9]+ test' | sed 's/^/   /'
    if [ $rc -ne 0 ]; then
        echo "   FAILED: see $log/$win.log"
        grep -E '^\[  FAILED  \]|Failure|rror' "$log/$win.log" | head -n 30 | sed 's/^/   | /'
        steps_failed+=("$win")
    fi
fi
# The players' zip (tests/dist): make dist twice from clean folders, the two zips compared
# byte for byte, then one unpacked and tried as a player would, under Wine and in Chromium.
distsuite() {
    echo "== dist"
    local started=$SECONDS rc
    rm -rf build/dist-test
    if ! scripts/dist.sh build/dist-test/a build/dist-test/a-work >"$log/dist-build.log" 2>&1 ||
        ! scripts/dist.sh build/dist-test/b build/dist-test/b-work >>"$log/dist-build.log" 2>&1; then
        echo "   FAILED: see $log/dist-build.log"
        tail -n 30 "$log/dist-build.log" | sed 's/^/   | /'
        steps_failed+=(dist)
        return
    fi
    local built=$((SECONDS - started))
    PAIVIEW=$top/build/native/paiview PAIVIEW_WINDOWS_BUILD=$top/build/${win:-win64} \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        scripts/wine-prefix.sh
        wineserver -p 60
        python3 tests/dist/test_dist.py build/dist-test/a build/dist-test/b
        rc=$?
        wineserver -k 2>/dev/null
        exit $rc' >"$log/dist.log" 2>&1
    rc=$?
    local line
    line=$(grep -E '^dist: [0-9]+ passed, [0-9]+ failed' "$log/dist.log" | tail -n 1)
    passed=$((passed + $(echo "$line" | awk '{print $2+0}')))
    failed=$((failed + $(echo "$line" | awk '{print $4+0}')))
    echo "   ${line:-dist: no summary}; two clean builds ${built}s, all $((SECONDS - started))s"
    grep -h -E '^sha256 |cannot run 32-bit' "$log/dist.log" | sed 's/^/   /'
    if [ $rc -ne 0 ]; then
        echo "   FAILED: see $log/dist.log"
        grep -E '^(FAIL|ERROR):|Error|assert' "$log/dist.log" | head -n 30 | sed 's/^/   | /'
        steps_failed+=(dist)
    fi
}
if [ -x build/native/paiview ]; then
    distsuite
fi
if [ -x scripts/fuzz.sh ]; then
    if step fuzz-short scripts/fuzz.sh --short; then
        grep -h -E '^fuzz: ' "$log/fuzz-short.log" | sed 's/^/   /'
    fi
fi

if [ ${#steps_failed[@]} -gt 0 ]; then
    echo "failed steps: ${steps_failed[*]}"
    [ "$failed" -eq 0 ] && failed=${#steps_failed[@]}
fi
echo "$passed passed, $failed failed"
[ ${#steps_failed[@]} -eq 0 ] && [ "$failed" -eq 0 ]
