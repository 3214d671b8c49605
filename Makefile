# The commands of the README: `make test`, `make probe` and `make mingw`.
.PHONY: test probe mingw deps deps-mingw standin wine test-standin test-wine clean

test: deps standin wine
	ctest --preset standin
	ctest --preset wine

# The program on Wine, on $DISPLAY or a private Xvfb; the last line says the
# verdict, and make fails unless the probe passed.
probe: deps
	@cmake --preset wine --log-level=WARNING >/dev/null
	@cmake --build --preset wine --target blendprobe window_text -- --no-print-directory
	tools/probe.py --window-text build/wine/tools/window_text.exe.so build/wine/probe/blendprobe.exe.so

# The Windows program, cross-built with mingw-w64, and the check of its file;
# kept out of `make test`, with packages of its own.
mingw: deps-mingw
	cmake --preset mingw
	cmake --build --preset mingw
	ctest --preset mingw

deps:
	tools/install-deps.sh

deps-mingw:
	tools/install-deps.sh mingw

standin: deps
	cmake --preset standin
	cmake --build --preset standin

wine: deps
	cmake --preset wine
	cmake --build --preset wine

test-standin: standin
	ctest --preset standin

test-wine: wine
	ctest --preset wine

clean:
	rm -rf build
