# Thin wrapper over the CMake presets; `make run` and `make test` are the README's two commands.
JOBS ?= $(shell nproc)
RUN_DIR := run

.PHONY: deps build run cli test test-asan fuzz bench format clean install package

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# The program starts in a working folder holding the help file and the sample data,
# so "Data From File" with the proposed names trains the backpropagation sample at once.
run: build
	@mkdir -p $(RUN_DIR)
	@cp -n examples/bpn/input.dat examples/bpn/output.dat $(RUN_DIR)/ 2>/dev/null || true
	@cp -r examples $(RUN_DIR)/ 2>/dev/null || true
	@cp docs/vornetica.hlp $(RUN_DIR)/ 2>/dev/null || true
	cd $(RUN_DIR) && ../build/default/src/vornetica

cli: build
	@echo "vornetica-cli is at build/default/src/vornetica-cli"

test: build
	ctest --preset default -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS each (default 60).
FUZZ_SECONDS ?= 60
fuzz:
	scripts/run-fuzzers.sh $(FUZZ_SECONDS)

# Five runs of each benchmark in random order, reported as mean, median and spread:
# on a shared machine a single run can be off by a tenth. Compare medians.
BENCH_ARGS ?= --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
	--benchmark_report_aggregates_only=true
bench:
	@scripts/install-deps.sh --bench
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && "$$b" $(BENCH_ARGS); done

# Installs under PREFIX (default /usr/local): programs, neuron library, help file,
# examples, desktop entry, icon and manual page.
PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix $(PREFIX)

# A Debian package in build/default (vornetica_<version>_<arch>.deb), installing under /usr.
package: build
	@scripts/install-deps.sh --package
	cd build/default && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
