# Chronodeck: `make run` builds and starts the program, `make test` runs every test,
# `make test-sanitize` runs every test built with AddressSanitizer and UndefinedBehaviorSanitizer,
# `make fuzz` runs each fuzz target for a minute (clang and libFuzzer),
# `make install` installs it (PREFIX=/usr/local, DESTDIR honoured), `make package` builds a .deb.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DCHRONODECK_WERROR=ON
endif

.PHONY: all deps configure build run test test-sanitize fuzz bench install package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@mkdir -p $(BUILD)/data
	$(BUILD)/bin/chronodeck --data-dir $(BUILD)/data

test: build
	@cd $(BUILD) && ctest --output-on-failure -j2

# -O1 with line tables only: a third of the compile time of an optimised
# build with full debug information, and reports still name file and line.
# Leaks are reported as well; what the platform's libraries keep until exit
# is listed in tests/sanitize/lsan.supp.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCHRONODECK_SANITIZE=ON -DCHRONODECK_BENCHMARKS=OFF \
	  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) --parallel $(shell nproc)
	@cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j2

fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCHRONODECK_FUZZ=ON \
	  -DCHRONODECK_BENCHMARKS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) --parallel $(shell nproc) --target fuzz_ini_file fuzz_recurrence fuzz_command_line
	@tests/fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@bench/run-all $(BUILD)
	@bench/startup $(BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
