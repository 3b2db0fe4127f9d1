# make run   installs what is missing, builds the 64-bit program and starts it under Wine
#            (make run CAR=samples/sample_car.fce starts it with that car open)
# make test  installs what is missing, builds every build and runs every test
# make fuzz  runs each fuzz target for FUZZ_SECONDS (default 600) after a sanitize build
# make bench builds natively and runs the conversion, car view, batch and OBJ benchmarks, then
#            times the car view's paint under Wine
# make dist  writes the release zips of both programs into dist/
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
XVFB = xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: samples all deps native sanitize win64 win32 win64-release build test test-native test-sanitize test-win64 \
	test-dist run fuzz bench dist clean

all: build

deps:
	@scripts/install-deps

native sanitize win64 win32 win64-release: deps
	@cmake --preset $@ >/dev/null
	@cmake --build --preset $@ -j $(JOBS)

build: native sanitize win64 win32

test-native: native
	ctest --preset native -j $(JOBS)

test-sanitize: sanitize
	ctest --preset sanitize -j $(JOBS)

test-win64: win64
	@scripts/wine-prefix
	$(XVFB) ctest --preset win64 -j $(JOBS)

test: build dist
	@scripts/wine-prefix
	ctest --preset native -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)
	$(XVFB) ctest --preset win64 -j $(JOBS)
	tests/dist/check-dist

dist: deps
	@scripts/make-dist

test-dist: dist
	tests/dist/check-dist

run: win64
	@scripts/wine-prefix
	@scripts/run-program build/win64/mainwin/VerroFCEConverter.exe $(CAR)

fuzz: sanitize
	tests/fuzz/run-fuzz build/sanitize $(FUZZ_SECONDS)

bench: native win64
	build/native/bench/conversion_bench
	build/native/bench/car_view_bench
	build/native/bench/batch_bench
	build/native/bench/obj_bench
	@scripts/wine-prefix
	scripts/wine-run build/win64/bench/car_view_paint_bench.exe

clean:
	rm -rf build dist

samples: native
	build/native/samples/generate_samples samples
