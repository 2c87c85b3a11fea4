# make test   installs what is missing, builds and runs the native and the Windows tests
#             (the Wine tests in LANES sessions side by side, scripts/lanes.sh)
# make run    builds and starts the programs under Wine on the simulated adapter
#             (SCENARIO=scenarios/office.ini: on that site instead of the built-in one)
# make bench  sizes the 32-bit programs against their goals, measures odrstat under Wine
#             (both builds) and runs the native benchmarks
#
# Windows builds: build/win32 (the shipped 32-bit programs, win32 thread model, prefix
# build/win32/wineprefix), build/win32-tests (the 32-bit Windows-side test binary, posix
# thread model) and build/win64 (64-bit programs and tests, prefix build/win64/wineprefix).
# 32-bit Wine runs only on hosts that run 32-bit programs and have it installed
# (scripts/host32.sh asks).
SHELL := /bin/bash
ROOT := $(CURDIR)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
WIN32_TESTS := $(BUILD)/win32-tests
WIN64 := $(BUILD)/win64
BENCH := $(BUILD)/bench
JOBS ?= 2
HOST32 = $(shell bash $(ROOT)/scripts/host32.sh)
SESSION := bash $(ROOT)/scripts/winesession.sh
# The Windows versions the end-to-end tests also run under (the settings layout and the
# device names follow the version).
VERSIONS ?= win95 win98 nt40 winxp

.PHONY: test setup host native win32 win32-tests win64 test-native test-win32 test-win64 dist fuzz test-tsan \
	test-versions test-lanes run bench format clean

LANES ?= 4
test: setup
	$(MAKE) test-native
	$(MAKE) test-lanes

# Every Windows-side and end-to-end test, in lanes that run side by side, each a Wine
# session of its own: each build's unit and end-to-end tests, its fault runs in two lanes,
# and the end-to-end tests under each older Windows version.
FAULTS_A := faults_(odrstat|odrcfg|snoop)$$
FAULTS_B := faults_(site_survey|link|master_list|configuration)$$
test-lanes: host win64 win32
	ctest --test-dir $(WIN32) --output-on-failure -L imports
	@faults() { \
	    lanes+=("$$1-faults-a;$$2;;ctest --test-dir $$2 --output-on-failure -L faults -R '$(FAULTS_A)'" \
	        "$$1-faults-b;$$2;;ctest --test-dir $$2 --output-on-failure -L faults -R '$(FAULTS_B)'"); \
	}; \
	lanes=("win64;$(WIN64);;ctest --test-dir $(WIN64) --output-on-failure -LE faults"); \
	faults win64 $(WIN64); \
	if [[ "$(HOST32)" == yes ]]; then \
	    $(MAKE) win32-tests || exit 1; \
	    lanes+=("win32;$(WIN32);;ctest --test-dir $(WIN32_TESTS) --output-on-failure && ctest --test-dir $(WIN32) --output-on-failure -LE 'faults|imports'"); \
	    faults win32 $(WIN32); \
	    versions=$(WIN32); \
	else \
	    echo "test-lanes: SKIPPED the 32-bit Windows-side and end-to-end tests: 32-bit Wine cannot run here (see host: above; the 64-bit build runs them)"; \
	    versions=$(WIN64); \
	fi; \
	for v in $(VERSIONS); do \
	    lanes+=("$$v;$$versions;$$v;ctest --test-dir $$versions --output-on-failure -L e2e -LE faults"); \
	done; \
	bash scripts/lanes.sh -j $(LANES) "$${lanes[@]}"

setup:
	@bash scripts/setup.sh

host:
	@if [[ "$(HOST32)" == yes ]]; then \
	    echo "host: this machine runs 32-bit programs: 32-bit and 64-bit Wine both run"; \
	elif [[ "$$(bash $(ROOT)/scripts/host32.sh --cpu)" == yes ]]; then \
	    echo "host: 32-bit Wine is not installed (make setup could not install it): only 64-bit Wine runs here"; \
	else \
	    echo "host: this machine cannot run 32-bit programs: only 64-bit Wine runs here"; \
	fi

native:
	cmake -S $(ROOT) -B $(NATIVE)
	cmake --build $(NATIVE) -j$(JOBS)

WIN32_CONFIGURE := cmake -S $(ROOT) -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake
win32:
	$(WIN32_CONFIGURE)
	cmake --build $(WIN32) -j$(JOBS)

win32-tests:
	cmake -S $(ROOT) -B $(WIN32_TESTS) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686-posix.cmake \
	    -DODR_PROGRAM_TESTS=OFF -DODR_WINEPREFIX=$(WIN32)/wineprefix
	cmake --build $(WIN32_TESTS) -j$(JOBS) --target win_tests

win64:
	cmake -S $(ROOT) -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake
	cmake --build $(WIN64) -j$(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# Windows-side GoogleTest binary and the end-to-end tests, one Wine session for all.
test-win64: host win64
	$(SESSION) $(WIN64) -- ctest --test-dir $(WIN64) --output-on-failure

# The import check of the shipped 32-bit programs runs everywhere; the Wine part only
# where 32-bit programs run.
test-win32: host win32
	ctest --test-dir $(WIN32) --output-on-failure -L imports
	@if [[ "$(HOST32)" != yes ]]; then \
	    echo "test-win32: SKIPPED the 32-bit Windows-side and end-to-end tests: 32-bit Wine cannot run here (see host: above; the 64-bit build ran them)"; \
	else \
	    $(MAKE) win32-tests && \
	    $(SESSION) $(WIN32) -- ctest --test-dir $(WIN32_TESTS) --output-on-failure && \
	    $(SESSION) $(WIN32) -- ctest --test-dir $(WIN32) --output-on-failure -LE imports; \
	fi

# The end-to-end tests under older Windows versions: the shipped 32-bit programs where
# 32-bit Wine runs, the 64-bit ones elsewhere.
test-versions: host
	@if [[ "$(HOST32)" == yes ]]; then build=$(WIN32); $(MAKE) win32; \
	else build=$(WIN64); $(MAKE) win64; fi; \
	for v in $(VERSIONS); do \
	    echo "test-versions: end-to-end tests of $$(basename $$build) as Windows $$v"; \
	    ODR_WINE_VERSION=$$v $(SESSION) $$build -- ctest --test-dir $$build --output-on-failure -L e2e -LE faults || exit 1; \
	done

# The native tests under ThreadSanitizer (build/tsan): the security ID worker, the threads
# and mutexes of the portable code and everything that calls them.
test-tsan: setup
	cmake -S $(ROOT) -B $(BUILD)/tsan -DODR_SANITIZE=OFF -DODR_TSAN=ON
	cmake --build $(BUILD)/tsan -j$(JOBS) --target native_tests
	TSAN_OPTIONS=halt_on_error=1 ctest --test-dir $(BUILD)/tsan --output-on-failure -j$(JOBS) -LE fuzz

# Every fuzz target (or those FUZZ_TARGETS names) for FUZZ_SECONDS each (clang and
# libFuzzer, in build/fuzz).
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/setup.sh fuzz
	cmake -S $(ROOT) -B $(BUILD)/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DODR_FUZZ=ON -DODR_SANITIZE=OFF
	cmake --build $(BUILD)/fuzz -j$(JOBS) --target fuzzers
	bash scripts/fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Release files in dist/: the installer and a zip of the programs, named with the version
# of resources/version.h. The shipped 32-bit programs, built without any test code.
VERSION := $(shell sed -n 's/^\#define ODR_VERSION_TEXT "\(.*\)"/\1/p' $(ROOT)/resources/version.h)
DIST_BUILD := $(BUILD)/dist
dist: setup
	cmake -S $(ROOT) -B $(DIST_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=MinSizeRel -DODR_PROGRAM_TESTS=OFF
	cmake --build $(DIST_BUILD) -j$(JOBS) --target odrcfg odrstat installer
	rm -rf $(ROOT)/dist && mkdir -p $(ROOT)/dist
	cp $(DIST_BUILD)/ondrel-utilities-$(VERSION)-setup.exe $(ROOT)/dist/
	cd $(DIST_BUILD) && zip -q -j $(ROOT)/dist/ondrel-utilities-$(VERSION).zip \
	    odrcfg.exe odrstat.exe odrcfg.hlp
	@ls -l $(ROOT)/dist

run: setup host
	@if [[ "$(HOST32)" == yes ]]; then \
	    echo "run: the 32-bit programs (build/win32) under 32-bit Wine"; \
	    $(MAKE) win32 && SCENARIO="$(SCENARIO)" bash scripts/run.sh $(WIN32); \
	else \
	    echo "run: the 64-bit programs (build/win64) under 64-bit Wine: 32-bit Wine cannot run here"; \
	    $(MAKE) win64 && SCENARIO="$(SCENARIO)" bash scripts/run.sh $(WIN64); \
	fi

bench: setup host win64
	cmake -S $(ROOT) -B $(BENCH) -DODR_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH) -j$(JOBS) --target benchmarks
	cmake --build $(WIN64) -j$(JOBS) --target benchmarks
	@if [[ "$(HOST32)" == yes ]]; then $(MAKE) win32 && cmake --build $(WIN32) -j$(JOBS) --target benchmarks; \
	else $(WIN32_CONFIGURE) && \
	    cmake --build $(WIN32) -j$(JOBS) --target odrstat odrcfg; fi
	@ODR_BENCH_WIN32=$(WIN32) bash scripts/bench.sh $(BENCH) $(WIN64) $$([[ "$(HOST32)" == yes ]] && echo $(WIN32))

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	-for p in $(WIN32)/wineprefix $(WIN64)/wineprefix; do \
	    [[ -d $$p ]] && WINEPREFIX=$$p $$(ls /usr/lib/wine/wineserver* | head -n 1) -k 2>/dev/null; done; true
	rm -rf $(BUILD)
