# The two set-up commands: `make demo` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: demo test build sanitize windows clean

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Opens the bundled example project and runs the main job on it.
demo: build
	./examples/demo.sh $(BUILD)/bin

# Every test, through ctest.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DVOG_SANITIZE=ON"

# The Windows installer, cross-compiled with mingw-w64.
windows:
	cmake -S installer -B build-win -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/installer/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-win -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan build-win out
