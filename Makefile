# The two commands of the README: `make run` and `make test`; the two checks
# `make sanitize` and `make fuzz`; `make install PREFIX=...`; `make package`; and
# `make screenshots`.
BUILD ?= build
PREFIX ?= /usr/local
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
FUZZ_SECONDS ?= 60
# Parallel jobs of the sanitizer and fuzzer builds, which need much memory a job.
JOBS ?= 2

.PHONY: all deps fuzz-deps package-deps programs build run test bench install package sanitize \
	fuzz screenshots clean

all: build

deps:
	@scripts/install-deps.sh

fuzz-deps:
	@scripts/install-deps.sh --fuzz

package-deps:
	@scripts/install-deps.sh --package

# brellow and brellow-cli alone, so that the first window does not wait for the tests.
programs: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) --target brellow brellow-cli

build: programs
	cmake --build $(BUILD)

run: programs
	@scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

bench: build
	$(BUILD)/bench/brellow-bench

# The programs, the desktop entry, the .brw file type, the icons, the metainfo and the
# manual pages, under PREFIX (PREFIX=~/.local for one user, without root).
install: programs
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package brellow_VERSION_ARCH.deb, in a build of its own for /usr.
package: package-deps
	@scripts/package.sh $(PACKAGE_BUILD)

# Every test under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer; the
# build runs the test binaries too (to list their tests), so it gets the options as well.
sanitize: export ASAN_OPTIONS = detect_leaks=1
sanitize: export UBSAN_OPTIONS = print_stacktrace=1:halt_on_error=1
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DBRELLOW_SANITIZE=ON -DBRELLOW_BENCHMARKS=OFF \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure --timeout 300

# Feeds arbitrary bytes to the .brw reader and arbitrary arguments to brellow-cli's solve
# and refinance, FUZZ_SECONDS in all, split between the two; a finding fails the target
# and names the file that reproduces it.
fuzz: fuzz-deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@fuzz/run.sh $(FUZZ_BUILD)/brellow-fuzz-record fuzz/corpus $(FUZZ_BUILD)/record \
	    $$(( $(FUZZ_SECONDS) - $(FUZZ_SECONDS) / 2 ))
	@fuzz/run.sh $(FUZZ_BUILD)/brellow-fuzz-cli fuzz/cli-corpus $(FUZZ_BUILD)/cli \
	    $$(( $(FUZZ_SECONDS) / 2 )) 512 fuzz/cli.dict

# The README's pictures in docs/ (the window, a chart and a printed page), taken on an
# Xvfb display of their own.
screenshots: build
	@scripts/screenshots.sh $(BUILD) docs

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
