# The two commands of the README: `make test` and `make probe`.
.PHONY: test probe deps standin wine test-standin test-wine clean

test: deps standin wine
	ctest --preset standin
	ctest --preset wine

# The program on Wine, on $DISPLAY or a private Xvfb; the last line says the
# verdict, and make fails unless the probe passed.
probe: deps
	@cmake --preset wine --log-level=WARNING >/dev/null
	@cmake --build --preset wine --target blendprobe window_text -- --no-print-directory
	tools/probe.py --window-text build/wine/tools/window_text.exe.so build/wine/probe/blendprobe.exe.so

deps:
	tools/install-deps.sh

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
