# make run   : set-up, build, start the viewer on the generated sample folder
# make test  : set-up, build, run every test
# make bench : set-up, build, run the benchmarks
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run test bench clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/zelvano $(BUILD)/muster/testbild.jpg

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@if [ -x bench/run.sh ]; then bash bench/run.sh $(BUILD); else echo "keine Benchmarks"; fi

clean:
	rm -rf $(BUILD)
