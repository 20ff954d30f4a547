# Front door. `make run` and `make test` do all set-up on a fresh Debian.
# BUILD names the build folder, so that parallel work can keep its own.
BUILD      ?= build
HOST_DIR   := $(BUILD)/host
# The 32-bit deliverables, built on every machine; the x64 build of the same
# sources, for machines that cannot run 32-bit programs.
WIN_DIR    := $(BUILD)/win
WIN64_DIR  := $(BUILD)/win-x64
JOBS       ?= $(shell nproc)
CTEST_ARGS ?=
ARGS       ?=
# Which build the Windows suites and `make run` use: empty picks x86 where
# this machine runs 32-bit programs and x64 where it cannot; x86 or x64
# forces one. `make dist` leaves the 32-bit pair unless ARCH=x64 is given.
ARCH       ?=

FUZZ_DIR   := $(BUILD)/fuzz
FUZZ_SECONDS ?= 120

# Prints the picked build on one line and why on the next; fails with one
# line for ARCH=x86 on a machine that cannot run it.
PICK = scripts/windows-arch.sh $(BUILD) '$(ARCH)'
# Shell lines that set $$arch, $$why and the tree $$windir from PICK, for
# the recipes below.
PICKED = pick=$$($(PICK)) || exit 1; \
         arch=$$(echo "$$pick" | sed -n 1p); why=$$(echo "$$pick" | sed -n 2p); \
         windir=$(WIN_DIR); if [ $$arch = x64 ]; then windir=$(WIN64_DIR); fi

.PHONY: all setup host win win64 deliverables win-x86 win-x64 fuzz-build test test-host test-win \
        test-cp test-fuzz dist run bench fuzz package windows-tests clean

all: dist

setup:
	@scripts/setup.sh $(BUILD)

host: setup
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST_DIR) -j $(JOBS)

# One Windows tree: $(call win_tree,DIR,TOOLCHAIN,[TARGETS])
win_tree = cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake \
             -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null && \
           cmake --build $(1) -j $(JOBS) $(if $(3),--target $(3))

# The 32-bit tree, whole: deliverables, tests, benchmarks, test package.
win: setup
	@$(call win_tree,$(WIN_DIR),mingw-i686)

# The x64 tree, whole.
win64: setup
	@$(call win_tree,$(WIN64_DIR),mingw-x86_64)

# The 32-bit deliverables alone, for the static check on machines whose
# suites run on the x64 build.
deliverables: setup
	@$(call win_tree,$(WIN_DIR),mingw-i686,Quillan Morvask)

# What the Windows suites need, per build.
win-x86: win
win-x64: win64 deliverables

test-host: host
	@cd $(HOST_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Windows tests share one clipboard and one display, so they run one by one.
test-win: setup
	@$(PICKED); $(MAKE) --no-print-directory win-$$arch && \
	 WINE_ARCH=$$arch WINE_SESSION_KEEPER=$$windir/bin/desktop_keeper.exe \
	   scripts/wine-session.sh $$windir/wine-prefix ctest --test-dir $$windir --output-on-failure $(CTEST_ARGS)

# The real program's end-to-end tests alone under one Windows system code
# page: make test-cp CP=1252 (932, 1252 or 65001).
CP ?= 932
test-cp: setup
	@$(PICKED); $(MAKE) --no-print-directory win-$$arch && \
	 WINE_ARCH=$$arch scripts/test-codepage.sh $$windir $(CP) $(CTEST_ARGS)

fuzz-build: setup
	@cmake -S fuzz -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DFUZZ_SECONDS=4 >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)

test-fuzz: fuzz-build
	@cd $(FUZZ_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Everything: native rules, short fuzz runs, the 32-bit deliverables checked
# as files, Windows tests under Wine on the picked build.
test: setup
	@$(PICKED); echo "Windows suites will run on the $$arch build ($$why)"; \
	 $(MAKE) --no-print-directory host fuzz-build win-$$arch && \
	 scripts/test-all.sh $(BUILD) $$arch "$$why"

# Longer fuzz runs (FUZZ_SECONDS each).
fuzz: fuzz-build
	@cmake -S fuzz -B $(FUZZ_DIR) -DFUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cd $(FUZZ_DIR) && ctest --output-on-failure -j $(JOBS)
	@cmake -S fuzz -B $(FUZZ_DIR) -DFUZZ_SECONDS=4 >/dev/null

# The 32-bit pair in dist/; with ARCH=x64 the x64 pair in dist-x64/, for
# running the program on machines that cannot run 32-bit programs (not for
# users).
dist: setup
ifeq ($(ARCH),x64)
	@$(call win_tree,$(WIN64_DIR),mingw-x86_64,Quillan Morvask)
	@rm -rf dist-x64 && mkdir -p dist-x64
	@cp $(WIN64_DIR)/bin/Quillan.exe $(WIN64_DIR)/bin/Morvask.dll dist-x64/
	@ls -l dist-x64
else
	@$(call win_tree,$(WIN_DIR),mingw-i686,Quillan Morvask)
	@rm -rf dist && mkdir -p dist
	@cp $(WIN_DIR)/bin/Quillan.exe $(WIN_DIR)/bin/Morvask.dll dist/
	@ls -l dist
endif

# Figures, not tests: the benchmark programs under Wine on the picked build,
# one table.
bench: setup
	@$(PICKED); $(MAKE) --no-print-directory win-$$arch && \
	 cmake --build $$windir -j $(JOBS) --target bench_loader one_click_bench main_window_bench filter_bench && \
	 WINE_ARCH=$$arch scripts/bench.sh $$windir

# The user's ZIP: always the 32-bit pair.
package: deliverables
	@mkdir -p dist
	@scripts/package.sh $(WIN_DIR)/bin dist/Quillan-1.7.0-win32.zip

# The Windows test suite as a package for a real Windows (`make win` packs
# it; `make test` runs it under Wine).
windows-tests: win
	@mkdir -p dist && cp $(WIN_DIR)/Quillan-tests-win32.zip dist/
	@ls -l dist/Quillan-tests-win32.zip

# Starts the program on the picked build: the 32-bit pair where this machine
# runs it, else the x64 pair.
run: setup
	@$(PICKED); echo "run: $$arch build ($$why)"; \
	 if [ $$arch = x64 ]; then $(MAKE) --no-print-directory dist ARCH=x64 && d=dist-x64; \
	 else $(MAKE) --no-print-directory dist ARCH=x86 && d=dist; fi && \
	 run=$(BUILD)/run; if [ $$arch = x64 ]; then run=$(BUILD)/run-x64; fi; \
	 WINE_ARCH=$$arch scripts/run.sh $$d $$run '$(ARGS)'

clean:
	rm -rf $(BUILD) dist dist-x64
