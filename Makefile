# The two commands of the README: `make test` and `make probe`.
.PHONY: test deps standin wine test-standin test-wine clean

test: deps standin wine
	ctest --preset standin
	ctest --preset wine

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
