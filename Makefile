BUILD ?= build
FUZZ_BUILD ?= build-fuzz
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 300
CMAKE_FLAGS ?=

CONFIGURE = cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

.PHONY: all deps run-deps configure build test test-sanitize run bench fuzz screenshots clean

all: build

# Everything: the programs, and what the tests, benchmarks, fuzzing and screenshots add.
deps:
	scripts/install-deps

# Only what building and running the programs needs (Wine when a Windows tool is in app/bin).
run-deps:
	scripts/install-deps --run $(BUILD)/app/bin

configure: deps
	$(CONFIGURE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite, the road included, once more with AddressSanitizer and
# UndefinedBehaviorSanitizer: any finding ends the program and fails its test. Leaks that
# are kept until exit on purpose are suppressed by the functions that keep them
# (tests/sanitizers); the stacks are unwound in full, through the libraries built without
# frame pointers, so that those names are seen. The road preloads its window driver into
# the programs it starts, ahead of the runtime.
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:verify_asan_link_order=0:fast_unwind_on_malloc=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0

test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DQUORVANE_SANITIZE=ON \
	  -DQUORVANE_WINE_PREFIX_ROOT=$(abspath $(BUILD))/wine $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS)

# Only what the hub starts, its help page and the sample, with the demonstration tools in
# app/bin; the sample project under build/sample is made on first use and repaired when its
# converted files are gone.
run: run-deps
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target demo
	$(BUILD)/tests/road/quorvane_sample $(BUILD)/sample
	$(BUILD)/app/OstrelinJP

screenshots: build
	JOBS=$(JOBS) tests/road/screenshots.sh $(BUILD) $(BUILD)/screenshots

bench: build
	@for b in $$(find $(BUILD)/bench -type f -name '*_bench' -perm -u+x | sort); do \
	  echo "== $$b"; $$b || exit 1; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DQUORVANE_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for f in $$(find $(FUZZ_BUILD)/fuzz -type f -name '*_fuzz' -perm -u+x | sort); do \
	  echo "== $$f"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
	  $$f -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus/$$(basename $$f) || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SANITIZE_BUILD)
