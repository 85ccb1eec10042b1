# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.

RELEASE := build/release
ASAN    := build/asan
FUZZ    := build/fuzz
JOBS    := $(shell nproc)

.PHONY: all deps release asan fuzz test bench run clean

all: release

deps:
	@tools/install-deps

release: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE)

asan: deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMRO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN)

# The fuzz target alone, built with clang and libFuzzer.
fuzz: deps
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMRO_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) --target fuzz-targets

test: release asan fuzz
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)
	tools/fuzz/run $(FUZZ)/bin 60

# Not part of test: timings and peak memory through vekrun, Release build.
bench: release
	bench/run $(RELEASE)/bin

run: release
	@exec $(RELEASE)/bin/zimro

clean:
	rm -rf build
