# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.

BUILD   := build
RELEASE := $(BUILD)/release
ASAN    := $(BUILD)/asan
FUZZ    := $(BUILD)/fuzz
# make run starts the calculator from a folder of its own, outside the
# build, so that the calculator file it saves (zimro.ini) is the user's and
# no clean or rebuild touches it.
RUNDIR  := run
# What a build puts beside the calculator in the run folder.
PROGRAM_FILES := zimro libvek.so libplatform.so zimro.si
JOBS    := $(shell nproc)

.PHONY: all deps release asan fuzz test bench run run-folder clean

all: release

deps:
	@tools/install-deps

release: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

asan: deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMRO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN) -j $(JOBS)

# The fuzz target alone, built with clang and libFuzzer.
fuzz: deps
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIMRO_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target fuzz-targets

test: release asan fuzz
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)
	tools/fuzz/run $(FUZZ)/bin 60

# Not part of test: timings and peak memory through vekrun, Release build.
bench: release
	bench/run $(RELEASE)/bin

run: release
	@$(MAKE) --no-print-directory run-folder
	@cd $(RUNDIR) && exec ./zimro

# The program, its libraries, the template and the help, fresh from the
# release build; a calculator file there stays as it is. One left in the
# build folder by an older make run moves here first.
run-folder:
	@mkdir -p $(RUNDIR)
	@if [ -f $(RELEASE)/bin/zimro.ini ] && [ ! -e $(RUNDIR)/zimro.ini ]; then \
	  mv $(RELEASE)/bin/zimro.ini $(RUNDIR)/zimro.ini; fi
	@cp -f $(addprefix $(RELEASE)/bin/,$(PROGRAM_FILES)) $(RUNDIR)/
	@rm -rf $(RUNDIR)/help && cp -R $(RELEASE)/bin/help $(RUNDIR)/help

# Only what the build made: the build folder and the program files in the
# run folder. Calculator files stay; one that an older make run left in the
# build folder moves to the run folder first.
clean:
	@if [ -f $(RELEASE)/bin/zimro.ini ]; then \
	  mkdir -p $(RUNDIR); \
	  dest=$(RUNDIR)/zimro.ini; [ ! -e $$dest ] || dest=$(RUNDIR)/zimro-build.ini; \
	  mv -n $(RELEASE)/bin/zimro.ini $$dest; \
	  if [ -f $(RELEASE)/bin/zimro.ini ]; then \
	    echo "clean: $(RELEASE)/bin/zimro.ini is a calculator file: move it first" >&2; exit 1; fi; \
	  echo "clean: $(RELEASE)/bin/zimro.ini moved to $$dest"; fi
	rm -rf $(BUILD)
	@rm -f $(addprefix $(RUNDIR)/,$(PROGRAM_FILES))
	@rm -rf $(RUNDIR)/help
	@rmdir $(RUNDIR) 2>/dev/null || true
