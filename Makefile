# SPDX-License-Identifier: MIT
# The two commands of a new user: `make run` and `make test`. Each installs what is missing.
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/.local
TEST_BUILD := build/test
# The program and the virtual board without the tests: `make run`, `install` and `package`.
RUN_BUILD := build/run
# With the tests and benchmarks: `make screenshots` and `bench`.
TOOLS_BUILD := build/tools
FUZZ_BUILD := build/fuzz

.PHONY: all setup run test screenshots bench soak fuzz install uninstall package clean

all: test

setup:
	@scripts/setup.sh

# Line tables only (-g1): sanitizer reports still name file and line, and the build is faster.
# The benchmarks are built by `make bench` (build/tools), not here.
$(TEST_BUILD)/build.ninja: CMakeLists.txt | setup
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
		-DVANTREL_SANITIZE=ON -DVANTREL_BENCH=OFF

# Configured again when this file changes, so an older build/run drops its tests.
$(RUN_BUILD)/configured: Makefile | setup
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=OFF
	@touch $@

$(TOOLS_BUILD)/build.ninja: CMakeLists.txt | setup
	cmake -S . -B $(TOOLS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=ON

# Builds the programs with AddressSanitizer and UndefinedBehaviorSanitizer (the tests' own code
# with AddressSanitizer) and runs every test.
test: setup $(TEST_BUILD)/build.ninja
	@scripts/setup.sh --test
	cmake --build $(TEST_BUILD) -j $(JOBS)
	# Most tests wait on a line or a timer more than they compute: twice as many run at once.
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $$(( $(JOBS) * 2 ))

# Starts the virtual board and Vantrel connected to it; builds only these two programs.
run: $(RUN_BUILD)/configured
	cmake --build $(RUN_BUILD) -j $(JOBS) --target vantrel vantrel-board
	scripts/run.sh $(RUN_BUILD)

# Installs the programs, their menu entries, icon, metainfo and man pages under PREFIX. The
# install manifest is kept aside: `make package` installs too and writes a new one.
INSTALLED := $(RUN_BUILD)/installed_manifest.txt
install: $(RUN_BUILD)/configured
	cmake --build $(RUN_BUILD) -j $(JOBS)
	cmake --install $(RUN_BUILD) --prefix "$(PREFIX)" --strip
	cp $(RUN_BUILD)/install_manifest.txt $(INSTALLED)

# Removes every file the last `make install` wrote, as its install manifest lists them.
uninstall:
	@if [ ! -f $(INSTALLED) ]; then \
	    echo "Nothing to uninstall: no $(INSTALLED) (make install writes it)." >&2; \
	    exit 1; \
	fi
	@packaging/uninstall.sh $(INSTALLED)
	@rm -f $(INSTALLED)

# Three Debian packages, build/run/<package>_<version>-1_amd64.deb for vantrel, vantrelctl and
# vantrel-board (apt install ./build/run/vantrel_*.deb ...), checked by lintian.
package: $(RUN_BUILD)/configured
	@scripts/setup.sh --package
	cmake --build $(RUN_BUILD) -j $(JOBS)
	cd $(RUN_BUILD) && cpack -G DEB
	scripts/package-check.sh $(RUN_BUILD)

# A PNG of every tab page of the real window, under Xvfb, in screenshots/.
screenshots: setup $(TOOLS_BUILD)/build.ninja
	cmake --build $(TOOLS_BUILD) -j $(JOBS) --target vantrel-screenshots vantrel-monitor-screenshot
	scripts/screenshots.sh $(TOOLS_BUILD)

# The benchmarks, which print their figures.
bench: setup $(TOOLS_BUILD)/build.ninja
	cmake --build $(TOOLS_BUILD) -j $(JOBS)
	scripts/bench.sh $(TOOLS_BUILD)

# The soak: the window on the virtual board for SOAK_MINUTES (default 10), with its memory,
# files, threads, stalls and bytes each minute and a verdict at the end. Run it alone.
SOAK_MINUTES ?= 10
soak: setup $(TOOLS_BUILD)/build.ninja
	cmake --build $(TOOLS_BUILD) -j $(JOBS) --target soak_window vantrel-board
	QT_QPA_PLATFORM=offscreen SOAK_MINUTES=$(SOAK_MINUTES) $(TOOLS_BUILD)/bench/soak_window

# The libFuzzer targets, built with clang, run two at a time for FUZZ_SECONDS each (default 600).
fuzz:
	@scripts/setup.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON -DVANTREL_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	scripts/fuzz.sh $(FUZZ_BUILD)

clean:
	rm -rf build
