# make play: set up, build and start the game.  make test: set up, build and
# run the whole test suite (normal and sanitizer builds).
.PHONY: all setup build play test windows web clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build build -j$$(nproc)

play: build
	cd build/game && ./pachinko

test: setup
	@scripts/test.sh

# The Windows game, cross-compiled: a portable zip and an installer in dist/.
windows: setup
	@scripts/windows.sh

# make web: the browser build in dist/web (serve that folder to play).
web: setup
	@scripts/web.sh

clean:
	rm -rf build build-asan build-fuzz build-win build-windows dist
