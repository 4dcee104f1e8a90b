# Entry points for people and CI. Every target does its own set-up.
BUILD ?= build
SAN_BUILD ?= build-sanitize
TSAN_BUILD ?= build-thread
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup configure build demo test check-sanitize check-thread bench fuzz install format clean

all: build

setup:
	./scripts/setup

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	./scripts/with-naming-service ./tools/hvcutil/demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 120

check-sanitize: setup
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DHVC_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

# The concurrency tests (every suite's cases named Concurrency or Concurrent...)
# under ThreadSanitizer.
check-thread: setup
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHVC_THREAD_SANITIZE=ON -DHVC_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target services_tests session_tests sandbox_tests measure_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/support/tsan.supp $(TSAN_OPTIONS)" \
		ctest --output-on-failure -j $(JOBS) --timeout 300 -R 'Concurren'

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./scripts/run-benchmarks $(BUILD)

fuzz:
	./scripts/setup fuzz
	./scripts/run-fuzzers build-fuzz

format:
	find include src sandbox tools tests bench fuzz examples -name '*.h' -o -name '*.cc' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) build-fuzz
