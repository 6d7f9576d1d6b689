# The two commands of the README, plus benchmarks, fuzzing and a sanitizer run.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x800x24"

.PHONY: all deps configure build run test bench asan clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@$(BUILD_DIR)/bin/codewerk encode --module 8 "https://www.example.org/codewerk" -o $(BUILD_DIR)/sample.bmp

test: build
	@cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; \
	  $$b --benchmark_repetitions=5 --benchmark_min_time=0.3 --benchmark_report_aggregates_only=true; done

# Every test again, built with AddressSanitizer and UBSan.
asan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-asan CMAKE_FLAGS="-DCODEWERK_SANITIZE=ON -DCODEWERK_BENCH=OFF"

clean:
	rm -rf build build-asan
