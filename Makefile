# Front door. `make run` and `make test` do all set-up on a fresh Debian.
# BUILD names the build folder, so that parallel work can keep its own.
BUILD      ?= build
HOST_DIR   := $(BUILD)/host
WIN_DIR    := $(BUILD)/win
JOBS       ?= $(shell nproc)
CTEST_ARGS ?=
ARGS       ?=

FUZZ_DIR   := $(BUILD)/fuzz
FUZZ_SECONDS ?= 120

.PHONY: all setup host win fuzz-build test test-host test-win test-cp test-fuzz dist run bench fuzz \
        package windows-tests clean

all: dist

setup:
	@scripts/setup.sh

host: setup
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST_DIR) -j $(JOBS)

win: setup
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	       -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN_DIR) -j $(JOBS)

test-host: host
	@cd $(HOST_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Windows tests share one clipboard and one display, so they run one by one.
test-win: win
	@WINE_SESSION_KEEPER=$(WIN_DIR)/bin/desktop_keeper.exe scripts/wine-session.sh $(WIN_DIR)/wine-prefix \
	    ctest --test-dir $(WIN_DIR) --output-on-failure $(CTEST_ARGS)

# The real program's end-to-end tests alone under one Windows system code
# page: make test-cp CP=1252 (932, 1252 or 65001).
CP ?= 932
test-cp: win
	@scripts/test-codepage.sh $(BUILD) $(CP) $(CTEST_ARGS)

fuzz-build: setup
	@cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DFUZZ_SECONDS=4 >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)

test-fuzz: fuzz-build
	@cd $(FUZZ_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Everything: native rules, short fuzz runs, Windows tests under Wine.
test: host fuzz-build win
	@scripts/test-all.sh $(BUILD)

# Longer fuzz runs (FUZZ_SECONDS each).
fuzz: fuzz-build
	@cmake -S fuzz -B $(FUZZ_DIR) -DFUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cd $(FUZZ_DIR) && ctest --output-on-failure -j $(JOBS)
	@cmake -S fuzz -B $(FUZZ_DIR) -DFUZZ_SECONDS=4 >/dev/null

dist: win
	@rm -rf dist && mkdir -p dist
	@cp $(WIN_DIR)/bin/Quillan.exe $(WIN_DIR)/bin/Morvask.dll dist/
	@ls -l dist

# Figures, not tests: the benchmark programs under Wine, one table.
bench: win
	@scripts/bench.sh $(BUILD)

package: dist
	@scripts/package.sh $(WIN_DIR)/bin dist/Quillan-1.7.0-win32.zip

# The Windows test suite as a package for a real Windows (`make win` packs
# it; `make test` runs it under Wine).
windows-tests: win
	@mkdir -p dist && cp $(WIN_DIR)/Quillan-tests-win32.zip dist/
	@ls -l dist/Quillan-tests-win32.zip

run: dist
	@scripts/run.sh $(BUILD)/run '$(ARGS)'

clean:
	rm -rf $(BUILD) dist
