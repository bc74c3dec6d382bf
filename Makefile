# Entry points for people and CI. Every target installs missing dependencies
# first (scripts/setup.sh), so each works on a fresh Debian 12 machine.

BUILD_DIR ?= build
CMAKE_FLAGS ?=
TYPESUPPORT := libzorv_interfaces__rosidl_typesupport_introspection_c.so

# configure DIR C-COMPILER C++-COMPILER [SANITIZER] [TESTS]: a Release build,
# warnings as errors, with the tests unless TESTS is OFF.
define configure
	cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORV_WARNINGS_AS_ERRORS=ON \
	  -DCMAKE_C_COMPILER=$(2) -DCMAKE_CXX_COMPILER=$(3) -DZORV_SANITIZER=$(4) \
	  -DBUILD_TESTING=$(if $(5),$(5),ON) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON $(CMAKE_FLAGS)
	cmake --build $(1)
endef

.PHONY: all setup setup-demo build demo bench test test-gcc test-clang test-sanitizers test-tsan test-asan \
  test-all clean

all: build

# What the demo needs, and what the tests need besides.
setup-demo:
	./scripts/setup.sh demo

setup:
	./scripts/setup.sh test

build: setup-demo
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++,,OFF)

# The inspector, a generic caller, on the library: the service as its
# definition file reads, then a request created, filled, printed and
# destroyed through the records alone.
demo: build
	$(BUILD_DIR)/gcc/inspector/typesupport-inspect $(BUILD_DIR)/gcc/$(TYPESUPPORT) zorv_interfaces/srv/StringCommand
	$(BUILD_DIR)/gcc/inspector/typesupport-inspect --set command="hello" \
	  $(BUILD_DIR)/gcc/$(TYPESUPPORT) zorv_interfaces/srv/StringCommand

# Benchmarks and instruction counts of the g++ Release build, written to
# docs/benchmarks.md. Not part of any test run.
bench: setup
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++)
	python3 bench/report.py $(BUILD_DIR)/gcc docs/benchmarks.md

# Every test, built by both compilers the library supports.
test: test-gcc test-clang

test-gcc: setup
	$(call configure,$(BUILD_DIR)/gcc,gcc,g++)
	ctest --test-dir $(BUILD_DIR)/gcc --output-on-failure

test-clang: setup
	$(call configure,$(BUILD_DIR)/clang,clang,clang++)
	ctest --test-dir $(BUILD_DIR)/clang --output-on-failure

# The same suite under ThreadSanitizer, then AddressSanitizer with
# UndefinedBehaviorSanitizer; each stops at its first report.
test-sanitizers: test-tsan test-asan

test-tsan: setup
	$(call configure,$(BUILD_DIR)/tsan,gcc,g++,thread)
	ctest --test-dir $(BUILD_DIR)/tsan --output-on-failure

test-asan: setup
	$(call configure,$(BUILD_DIR)/asan,gcc,g++,address)
	ctest --test-dir $(BUILD_DIR)/asan --output-on-failure

# Everything CI runs: the plain suite with both compilers, then both sanitizers.
test-all: test test-sanitizers

clean:
	rm -rf $(BUILD_DIR)
