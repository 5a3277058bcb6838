# Chronodeck: `make run` builds and starts the program, `make test` runs every test.
BUILD ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DCHRONODECK_WERROR=ON
endif

.PHONY: all deps configure build run test bench clean

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

bench: build
	@bench/run-all $(BUILD)
	@bench/startup $(BUILD)

clean:
	rm -rf $(BUILD)
