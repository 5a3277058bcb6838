# Chronodeck: `make run` builds and starts the program, `make test` runs every test,
# `make install` installs it (PREFIX=/usr/local, DESTDIR honoured), `make package` builds a .deb.
BUILD ?= build
PREFIX ?= /usr/local
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DCHRONODECK_WERROR=ON
endif

.PHONY: all deps configure build run test bench install package clean

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

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@bench/run-all $(BUILD)
	@bench/startup $(BUILD)

clean:
	rm -rf $(BUILD)
