# make run   : set-up, build, start the viewer on the generated sample folder
# make test  : set-up, build, run every test
# make bench : set-up, build, run the benchmarks
# make fuzz  : set-up, build the fuzz targets with clang in build-fuzz, run each
#              for FUZZ_SEKUNDEN seconds, FUZZ_PARALLEL targets at a time
BUILD ?= build
# One job per core, but no more than one per GB of free memory: a container
# may see more cores than its memory can feed compilers.
JOBS ?= $(shell n=$$(nproc); m=$$(awk '/MemAvailable/ {print int($$2 / 1048576)}' /proc/meminfo); \
          [ "$${m:-0}" -ge 1 ] || m=1; echo $$(( n < m ? n : m )))
FUZZ_BUILD ?= build-fuzz
FUZZ_SEKUNDEN ?= 60
FUZZ_PARALLEL ?= 3

.PHONY: setup build run test bench fuzz clean

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

fuzz: setup
	@JOBS=$(JOBS) bash fuzz/lauf.sh $(FUZZ_BUILD) $(FUZZ_SEKUNDEN) $(FUZZ_PARALLEL)

clean:
	rm -rf $(BUILD)
