# The two commands of a new user: `make run` and `make test`. Each installs what is missing.
JOBS ?= $(shell nproc)
TEST_BUILD := build/test
RUN_BUILD := build/run
FUZZ_BUILD := build/fuzz

.PHONY: all setup run test screenshots bench fuzz clean

all: test

setup:
	@scripts/setup.sh

$(TEST_BUILD)/build.ninja: CMakeLists.txt | setup
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON

$(RUN_BUILD)/build.ninja: CMakeLists.txt | setup
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=ON

# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
test: setup $(TEST_BUILD)/build.ninja
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Starts the virtual board and Vantrel connected to it.
run: setup $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) -j $(JOBS)
	scripts/run.sh $(RUN_BUILD)

# A PNG of every tab page of the real window, under Xvfb, in screenshots/.
screenshots: setup $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) -j $(JOBS)
	scripts/screenshots.sh $(RUN_BUILD)

# The benchmarks, which print their figures.
bench: setup $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) -j $(JOBS)
	scripts/bench.sh $(RUN_BUILD)

# The libFuzzer targets, built with clang. FUZZ_SECONDS per target (default 600).
fuzz:
	@scripts/setup.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_FUZZ=ON -DVANTREL_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/fuzz.sh $(FUZZ_BUILD)

clean:
	rm -rf build
