# The two set-up commands: `make demo` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# What the demo runs: the plug-in (with its dialog file), the stand-in host and
# the tools examples/demo.sh calls (tools/CMakeLists.txt). Neither GoogleTest
# nor CGAL is needed, and libxml2 only for the LandXML export.
DEMO_TARGETS = demo-programs

.PHONY: demo test build sanitize fuzz windows format-check seam-check clean

# Everything, the tests and benchmarks included where their libraries are found.
build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Builds only what the demo runs, then runs the main job on the bundled survey.
demo:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	./examples/demo.sh $(BUILD)/bin

# Every test, through ctest; GoogleTest is required here.
test:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DVOG_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DVOG_SANITIZE=ON"

# Every fuzz target for FUZZ_SECONDS (default 60) on a copy of its seed corpus.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = lisp_reader dcl_reader dxf_reader settings_file point_file triangle_file \
               segment_file edge_exchange
fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOG_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p build-fuzz/corpus/$$t build-fuzz/artifacts/$$t; \
	    cp -n fuzz/corpus/$$t/* build-fuzz/corpus/$$t/ 2>/dev/null || true; \
	    echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	    ASAN_OPTIONS=detect_leaks=1 build-fuzz/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 \
	        -timeout=10 -rss_limit_mb=4096 -artifact_prefix=build-fuzz/artifacts/$$t/ \
	        build-fuzz/corpus/$$t 2>&1 | grep -E '^#[0-9]+.*(DONE|pulse)|ERROR|SUMMARY|Done' | tail -3 || exit 1; \
	    test -z "$$(ls build-fuzz/artifacts/$$t)" || { echo "fuzz_$$t found a fault: build-fuzz/artifacts/$$t"; exit 1; }; \
	done

# The Windows installer, cross-compiled with mingw-w64.
windows:
	cmake -S installer -B build-win -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/installer/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-win -j $(JOBS)

# Every C++ source in the checked-in style (.clang-format); CI runs it.
format-check:
	find plugin installer standin tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | \
	    xargs -0 clang-format --dry-run -Werror

# Only the command and dialog files and the application layer reach the host;
# geometry and base stay below the rest (tests/check_seam.py); CI runs it.
seam-check:
	python3 tests/check_seam.py plugin

clean:
	rm -rf $(BUILD) build-asan build-win build-fuzz out
