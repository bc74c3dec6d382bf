# Entry points for people and CI. Every target installs missing dependencies
# first (scripts/setup.sh), so each works on a fresh Debian 12 machine.

BUILD_DIR ?= build
CMAKE_FLAGS ?=

# configure DIR C-COMPILER C++-COMPILER [SANITIZER] [TESTS]: a Release build,
# warnings as errors, with the tests unless TESTS is OFF.
define configure
	cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORV_WARNINGS_AS_ERRORS=ON \
	  -DCMAKE_C_COMPILER=$(2) -DCMAKE_CXX_COMPILER=$(3) -DZORV_SANITIZER=$(4) \
	  -DBUILD_TESTING=$(if $(5),$(5),ON) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON $(CMAKE_FLAGS)
	cmake --build $(1)
endef

.PHONY: all setup setup-demo build demo bench test test-gcc test-gcc9 test-clang test-sanitizers test-tsan test-asan test-fuzz \
  clean

all: build

# What the demo needs, and what the tests need besides.
setup-demo:
	./scripts/setup.sh demo

setup:
	./scripts/setup.sh test

build: setup-demo
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++,,OFF)

# The main job: the inspector reads the library, then typesupport-service
# serves the service in the background and a second one calls it over DDS,
# driven by the records alone.
demo: build
	./scripts/demo.sh $(BUILD_DIR)/gcc

# Benchmarks and instruction counts of the g++ Release build, written to
# docs/benchmarks.md. Not part of any test run.
bench: setup
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++)
	python3 bench/report.py $(BUILD_DIR)/gcc docs/benchmarks.md

# Every test: the suite built by each compiler the project supports (g++ 12,
# clang++ 14, and GCC 9.3 as on ROS 2 Foxy's platform), then under both
# sanitizers, then the fuzzer. CI runs exactly this.
test: test-gcc test-clang test-gcc9 test-sanitizers test-fuzz

test-gcc: setup
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++)
	cd $(BUILD_DIR)/gcc && ctest --output-on-failure

# GCC 9.3, the compiler of ROS 2 Foxy's platform (Ubuntu 20.04), fetched from
# Debian 11's packages into the build tree without installing it.
GCC9 := $(abspath $(BUILD_DIR))/toolchains/gcc-9/root/usr/bin/x86_64-linux-gnu
test-gcc9: setup
	./scripts/fetch-gcc9.sh $(BUILD_DIR)/toolchains/gcc-9
	$(call configure,$(BUILD_DIR)/gcc9,$(GCC9)-gcc-9,$(GCC9)-g++-9)
	cd $(BUILD_DIR)/gcc9 && ctest --output-on-failure

test-clang: setup
	$(call configure,$(BUILD_DIR)/clang,clang,clang++)
	cd $(BUILD_DIR)/clang && ctest --output-on-failure

# The CDR decoder under libFuzzer (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) from the committed seeds, for FUZZ_SECONDS; new
# inputs go to the build tree, a failing one to $(BUILD_DIR)/fuzz/artifacts/.
# A failure it finds belongs in test/fuzz/regressions/.
FUZZ_SECONDS ?= 60
test-fuzz: setup
	cmake -S . -B $(BUILD_DIR)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORV_WARNINGS_AS_ERRORS=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORV_SANITIZER=fuzzer $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)/fuzz --target fuzz_cdr
	mkdir -p $(BUILD_DIR)/fuzz/corpus $(BUILD_DIR)/fuzz/artifacts
	$(BUILD_DIR)/fuzz/test/fuzz/fuzz_cdr -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(BUILD_DIR)/fuzz/artifacts/ $(BUILD_DIR)/fuzz/corpus test/fuzz/corpus

# The same suite under ThreadSanitizer, then AddressSanitizer with
# UndefinedBehaviorSanitizer; each stops at its first report.
test-sanitizers: test-tsan test-asan

test-tsan: setup
	$(call configure,$(BUILD_DIR)/tsan,gcc,g++,thread)
	cd $(BUILD_DIR)/tsan && ctest --output-on-failure

test-asan: setup
	$(call configure,$(BUILD_DIR)/asan,gcc,g++,address)
	cd $(BUILD_DIR)/asan && ctest --output-on-failure

clean:
	rm -rf $(BUILD_DIR)
