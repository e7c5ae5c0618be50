# Top-level commands: `make run` opens the viewer on a sample spectrum, `make test` builds and tests.
BUILD ?= build
SAMPLE ?= samples/dfb_laser.csv
JOBS ?= 2

.PHONY: setup configure build run test bench clean format

setup:
	@scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: setup $(BUILD)/build.ninja

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

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
