# Top-level commands: `make run` opens the viewer on a sample spectrum, `make test` builds and tests.
BUILD ?= build
SAMPLE ?= samples/dfb_laser.csv
JOBS ?= 2
# Extra cmake arguments for the configure step, e.g. CMAKE_ARGS=-DVQ_WERROR=ON. Given, they
# configure the folder again; cmake keeps them in its cache for later builds of that folder.
CMAKE_ARGS ?=
# The benchmarks build in a folder of their own, configured with the core only (no Qt, no tests),
# so `make bench` never builds the tests, nor turns options on in $(BUILD); only its idle
# benchmark builds the viewer there.
BENCH_BUILD ?= $(BUILD)-bench
# The core without Qt: core library, tools and core tests.
CORE_BUILD ?= $(BUILD)-core
# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in its own folder.
ASAN_BUILD ?= $(BUILD)-asan
# The fuzz targets, built with clang and the sanitizers in their own folder; each runs FUZZ_SECONDS.
FUZZ_BUILD ?= $(BUILD)-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = trace_file_fuzz profile_fuzz settings_fuzz data_file_fuzz template_fuzz link_reply_fuzz catalogue_fuzz
SANITIZERS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

.PHONY: setup configure build run test test-core test-asan bench bench-idle fuzz clean format install

setup:
	@scripts/setup.sh

# configure(FOLDER, ARGS): a new folder, or any CMAKE_ARGS, runs cmake; otherwise ninja re-runs it
# itself when a CMakeLists.txt changes.
define configure
	@if [ ! -f $(1)/build.ninja ] || [ -n "$(strip $(CMAKE_ARGS))" ]; then \
	  echo cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) $(CMAKE_ARGS); \
	  cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) $(CMAKE_ARGS); \
	fi
endef

configure: setup
	$(call configure,$(BUILD),)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Without a display the viewer cannot open a window: write a screenshot instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  if [ -f "$(SAMPLE)" ]; then $(BUILD)/vqviewer "$(SAMPLE)"; else $(BUILD)/vqviewer; fi; \
	else \
	  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): writing screenshot.png instead."; \
	  if [ -f "$(SAMPLE)" ]; then drop="--drop $(SAMPLE)"; else drop=""; fi; \
	  $(BUILD)/vqtool render $$drop --out screenshot.png && echo "Wrote screenshot.png"; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-core: setup
	$(call configure,$(CORE_BUILD),-DVQ_BUILD_SHELL=OFF)
	cmake --build $(CORE_BUILD) -j $(JOBS)
	cd $(CORE_BUILD) && ctest --output-on-failure -j $(JOBS)

# Any sanitizer report fails its test: undefined behaviour aborts, and leaks are reported at exit.
# Built at -O1 with line tables only and the asserts on: quicker to compile than -O2 -g, and the
# reports still name file and line.
test-asan: setup
	$(call configure,$(ASAN_BUILD),-DCMAKE_BUILD_TYPE=Sanitize "-DCMAKE_CXX_FLAGS=-O1 -g1 $(SANITIZERS)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZERS)")
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: setup
	$(call configure,$(BENCH_BUILD),-DVQ_BUILD_BENCH=ON -DVQ_BUILD_SHELL=OFF -DVQ_BUILD_TESTS=OFF)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target run_benchmarks
	$(MAKE) --no-print-directory bench-idle

# The viewer's CPU time while idle needs the Qt viewer: it is built in $(BUILD).
bench-idle: configure
	cmake --build $(BUILD) -j $(JOBS) --target vqviewer
	bench/idle_cpu.sh $(BUILD)/vqviewer

# Installs the programs, the desktop entry, the icon and the file types into PREFIX; then
# refreshes the MIME and desktop databases when their tools are there.
PREFIX ?= $(HOME)/.local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	@if command -v update-mime-database > /dev/null && [ -d $(PREFIX)/share/mime/packages ]; then \
	  update-mime-database $(PREFIX)/share/mime || true; fi
	@if command -v update-desktop-database > /dev/null && [ -d $(PREFIX)/share/applications ]; then \
	  update-desktop-database $(PREFIX)/share/applications || true; fi

# Never part of `make test`: a set time per target, from a seed corpus made in $(FUZZ_BUILD).
fuzz:
	@scripts/setup.sh clang libclang-rt-dev
	$(call configure,$(FUZZ_BUILD),-DCMAKE_CXX_COMPILER=clang++ -DVQ_BUILD_FUZZ=ON -DVQ_BUILD_SHELL=OFF -DVQ_BUILD_TESTS=OFF)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(CORE_BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
