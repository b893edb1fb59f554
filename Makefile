# The two commands of the README: `make run` and `make test`.
BUILD ?= build

.PHONY: all deps build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)

run: build
	@scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

bench: build
	$(BUILD)/bench/brellow-bench

clean:
	rm -rf $(BUILD)
