# KELVO: `make run` starts the program, `make test` runs every test,
# `make screenshots` renders the windows to screenshots/.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench screenshots clean test-sanitize fuzz lint package package-check install check-fresh

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
	$(BUILD)/bench/kelvo_cli_bench --benchmark_min_time=0.2
	$(BUILD)/bench/kelvo_ui_bench
	$(BUILD)/bench/kelvo_database_bench

screenshots: build
	$(BUILD)/tests/ui/kelvo_screenshots screenshots
	KELVO_SCREENSHOT_DIR=$(CURDIR)/screenshots QT_QPA_PLATFORM=offscreen $(BUILD)/tests/ui/data_entry_screenshots_test

# The Debian package (build-package/kelvo_VERSION-1_ARCH.deb): a Release
# build of the programs in a folder of its own, with Debian's hardening flags,
# stripped. package-check builds it and checks it as a user would get it.
PACKAGE_BUILD ?= build-package
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  -DKELVO_BUILD_TESTS=OFF -DKELVO_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD)
	rm -f $(PACKAGE_BUILD)/kelvo_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB

package-check: package
	scripts/package-check $(PACKAGE_BUILD)/kelvo_*.deb

# The README's commands on a fresh Debian 12 root, and the built package
# installed into a second one (needs root or sudo; see the script).
check-fresh: deps
	scripts/check-fresh $(BUILD)/fresh

PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON -DKELVO_BUILD_BENCH=OFF
	cmake --build $(SANITIZE_BUILD)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j2

# Each libFuzzer target for FUZZ_SECONDS seconds (default 60), starting from
# the seed corpus; a failing input is saved in the current folder.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_FUZZ=ON
	cmake --build $(FUZZ_BUILD)
	@for target in $$(ls tests/fuzz/corpus); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target; \
	  echo "== fuzz_$$target for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    $(FUZZ_BUILD)/corpus/$$target tests/fuzz/corpus/$$target || exit 1; \
	done

# clang-tidy and cppcheck over the core and the batch tool.
lint: configure
	clang-tidy -p $(BUILD) --quiet core/*/*.cpp cli/*.cpp
	cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --enable=warning,performance,portability \
	  --inline-suppr --suppress=missingIncludeSystem $(addprefix -I ,$(wildcard core/*/)) -I cli core cli

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
