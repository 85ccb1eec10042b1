# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.

RELEASE := build/release
ASAN    := build/asan
JOBS    := $(shell nproc)

.PHONY: all deps release asan test run clean

all: release

deps:
	@tools/install-deps

release: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE)

asan: deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMRO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN)

test: release asan
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

run: release
	@if [ -x $(RELEASE)/bin/zimro ]; then exec $(RELEASE)/bin/zimro; \
	else echo "built everything; there is no calculator to start yet"; fi

clean:
	rm -rf build
