# Entry points for people and CI. Every target does its own set-up.
BUILD ?= build
SAN_BUILD ?= build-sanitize
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup configure build demo test check-sanitize bench fuzz install format clean

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

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	./scripts/run-benchmarks $(BUILD)

fuzz:
	./scripts/setup fuzz
	./scripts/run-fuzzers build-fuzz

format:
	find include src sandbox tools tests bench fuzz examples -name '*.h' -o -name '*.cc' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-fuzz
