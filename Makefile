# The two commands of the README, plus benchmarks, fuzzing and a sanitizer run.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1280x800x24"

FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?= fuzz_image_reader fuzz_png_reader fuzz_jpeg_reader fuzz_gif_reader fuzz_tiff_reader fuzz_bmp_reader \
  fuzz_plain_bmp fuzz_settings_reader fuzz_vcard_reader fuzz_eci_text fuzz_scanner_keystrokes \
  fuzz_result_classification
FUZZ_FLAGS ?=

.PHONY: all deps configure build run test bench quality asan fuzz clean

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
	  elif [ "$${b##*/}" = bench_processes ]; then $$b; \
	  else $(XVFB) $$b --benchmark_repetitions=9 --benchmark_min_time=0.2 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true; fi; done
	@echo "== hostile pictures"; bench/hostile-pictures.sh $(BUILD_DIR)

# The reading-quality suite: generated pictures read by our decoders and the raw libraries.
quality: build
	@$(BUILD_DIR)/bin/reading_quality $(BUILD_DIR)/quality

# Every test again, built with AddressSanitizer and UBSan.
asan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-asan CMAKE_FLAGS="-DCODEWERK_SANITIZE=ON -DCODEWERK_BENCH=OFF"

# Each libFuzzer target (clang) in turn, FUZZ_SECONDS long, on its own corpus build-fuzz/corpus/<target>
# seeded from tests/fuzz/seeds/<target without fuzz_>; findings land in build-fuzz/findings/<target>/.
# All targets run even when one finds something; the rule fails afterwards. FUZZ_FLAGS go to every
# target (FUZZ_FLAGS=-max_len=512 keeps inputs short where long ones are slow).
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCODEWERK_FUZZ=ON -DCODEWERK_TESTS=OFF \
	  -DCODEWERK_BENCH=OFF > /dev/null
	@cmake --build build-fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	@failed=""; for t in $(FUZZ_TARGETS); do \
	  echo "== $$t"; mkdir -p build-fuzz/corpus/$$t build-fuzz/findings/$$t; \
	  build-fuzz/bin/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=3000 $(FUZZ_FLAGS) \
	    -artifact_prefix=build-fuzz/findings/$$t/ build-fuzz/corpus/$$t tests/fuzz/seeds/$${t#fuzz_} \
	    || failed="$$failed $$t"; \
	done; [ -z "$$failed" ] || { echo "fuzz: findings from$$failed" >&2; exit 1; }

clean:
	rm -rf build build-asan build-fuzz
