# make test   installs what is missing, builds and runs the native and the Windows tests
# make run    builds and starts the programs under Wine on the simulated adapter
# make bench  measures odrstat under Wine and runs the native benchmarks
SHELL := /bin/bash
ROOT := $(CURDIR)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
BENCH := $(BUILD)/bench
PREFIX := $(BUILD)/wineprefix
PROBE := $(WIN32)/tools/odrprobe.exe
JOBS ?= 2
WINE_SESSION := bash $(ROOT)/scripts/winesession.sh $(PREFIX) $(PROBE) --

.PHONY: test setup native win32 test-native test-win32 run bench format clean

test: setup
	$(MAKE) test-native
	$(MAKE) test-win32

setup:
	@bash scripts/setup.sh

native:
	cmake -S $(ROOT) -B $(NATIVE)
	cmake --build $(NATIVE) -j$(JOBS)

win32:
	cmake -S $(ROOT) -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake \
	    -DODR_WINEPREFIX=$(PREFIX)
	cmake --build $(WIN32) -j$(JOBS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# Windows-side GoogleTest binary and the end-to-end tests, one Wine session for all.
test-win32: win32
	$(WINE_SESSION) ctest --test-dir $(WIN32) --output-on-failure

run: setup win32
	@bash scripts/run.sh $(WIN32) $(PREFIX)

bench: setup win32
	cmake -S $(ROOT) -B $(BENCH) -DODR_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH) -j$(JOBS) --target benchmarks
	cmake --build $(WIN32) -j$(JOBS) --target benchmarks
	@bash scripts/bench.sh $(WIN32) $(PREFIX) $(BENCH)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	-[ -d $(PREFIX) ] && WINEPREFIX=$(PREFIX) wineserver -k 2>/dev/null; true
	rm -rf $(BUILD)
