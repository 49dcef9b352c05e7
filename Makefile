# Two commands do everything on a fresh Debian machine:
#   make run   - install what is missing, build the window alone, start it
#   make test  - install what is missing, build, run every test headless
# For developers: make test-sanitizers runs the suite again under ASan and UBSan;
# make bench times the commands per degree.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)

.PHONY: run test test-sanitizers bench package deps configure build window

deps:
	@./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The window alone, without the test programs: what make run needs.
window: configure
	cmake --build $(BUILD) -j $(JOBS) --target splinewave

run: window
	./$(BUILD)/splinewave

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack

bench: build
	./$(BUILD)/splinewave_bench

test-sanitizers: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSPLINEWAVE_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)
