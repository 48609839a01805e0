# Entry points: `make demo` and `make test` each install what they need, build and run.
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60

.PHONY: all deps build demo test sanitize fuzz bench clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

# One real station-day (BJFS, 2020-01-01) in auto mode: no waiting, closes when done. It
# runs on copies in $(BUILD)/demo, so examples/ is never changed; no settings file of the
# user's (which might send the products elsewhere) is read.
demo: build
	rm -rf $(BUILD)/demo && mkdir -p $(BUILD)/demo && cp examples/*.20o examples/*.20n examples/*.DCB.Z $(BUILD)/demo/
	$(BUILD)/apps/velarix --settings $(BUILD)/demo/none.ini --scope day --products cmn,std,bias,dat \
		--images tec24,prn,bias "$(BUILD)/demo/bjfs0010.20o" auto
	@echo "The products, plots and Log_file.txt of the sample day are in $(BUILD)/demo/"

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# fontconfig's process-lifetime caches are not counted as leaks (tests/lsan.supp).
sanitize:
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	$(MAKE) test BUILD=build-sanitize CMAKE_ARGS="-DVELARIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

# Every libFuzzer target for FUZZ_SECONDS each, from the seed corpora in tests/fuzz/.
fuzz:
	@bash scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVELARIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	bash scripts/run-fuzzers build-fuzz/fuzz tests/fuzz $(FUZZ_SECONDS)

# Reader and decoder throughput on the real data, then whole runs of velarix on the
# sample day and on a month of it, and the heap peak of a day (figures in the README).
bench: build
	bash scripts/run-benchmarks $(BUILD)/bench
	bash bench/end_to_end.sh $(BUILD)
	bash bench/day_memory.sh $(BUILD)

clean:
	rm -rf build build-sanitize build-fuzz build-bench

# The Dask batch runner on a month folder, 2 local workers against the serial run
# (figures in the README); part of `make bench`.
.PHONY: bench-dask
bench: bench-dask
bench-dask: build
	bash bench/dask_batch.sh $(BUILD)
