# The two commands of the README, plus benchmarks, fuzzing and a sanitizer run.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x800x24"

FUZZ_SECONDS ?= 600

.PHONY: all deps configure build run test bench asan fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@$(BUILD_DIR)/bin/codewerk

test: build
	@cd $(BUILD_DIR) && $(XVFB) ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; \
	  if [ "$${b##*/}" = bench_startup ]; then $(XVFB) $$b; \
	  else $(XVFB) $$b --benchmark_repetitions=9 --benchmark_min_time=0.2 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true; fi; done
	@echo "== hostile pictures"; bench/hostile-pictures.sh $(BUILD_DIR)

# Every test again, built with AddressSanitizer and UBSan.
asan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-asan CMAKE_FLAGS="-DCODEWERK_SANITIZE=ON -DCODEWERK_BENCH=OFF"

# The picture reader under libFuzzer (clang), FUZZ_SECONDS long; findings land in build-fuzz/findings.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCODEWERK_FUZZ=ON -DCODEWERK_TESTS=OFF \
	  -DCODEWERK_BENCH=OFF > /dev/null
	@cmake --build build-fuzz --target fuzz_image_reader
	@mkdir -p build-fuzz/corpus build-fuzz/findings
	@build-fuzz/bin/fuzz_image_reader -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=3000 \
	  -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus tests/fuzz/seeds

clean:
	rm -rf build build-asan build-fuzz
