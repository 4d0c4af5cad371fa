# KELVO: `make run` starts the program, `make test` runs every test,
# `make screenshots` renders the windows to screenshots/.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench screenshots clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/app/kelvo

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

bench: build
	$(BUILD)/bench/kelvo_core_bench --benchmark_min_time=0.2
	$(BUILD)/bench/kelvo_ui_bench

screenshots: build
	$(BUILD)/tests/ui/kelvo_screenshots screenshots

clean:
	rm -rf $(BUILD)
