# Front door: installs what is missing, builds, and runs Play, Setup, the tests or the benchmarks.
.PHONY: all deps build play setup test test-dev test-asan bench format clean

ARGS ?=

all: build

deps:
	@bash scripts/deps.sh

build: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev

play: build
	./build/dev/play $(ARGS)

setup: build
	ConfigTemplatePath=src/setup/templates ./build/dev/setup $(ARGS)

test: test-dev test-asan

test-dev: build
	ctest --preset dev

# The asan tree is clang's: one configured by another compiler is started afresh.
test-asan: deps
	@if [ -f build/asan/CMakeCache.txt ] && \
	    ! grep -q '^CMAKE_CXX_COMPILER:.*=.*clang++' build/asan/CMakeCache.txt; then \
	    echo "build/asan was configured with another compiler: removing it"; rm -rf build/asan; fi
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	./build/bench/bench/q3v_bench

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
