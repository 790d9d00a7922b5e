# Entry points; each installs what it needs on a fresh Debian 12 machine (as root).
.PHONY: test run build bench fuzz screenshots clean

test:
	@scripts/test.sh

run:
	@scripts/run.sh

build:
	@scripts/deps.sh all
	cmake --preset native && cmake --build --preset native
	cmake --preset win32 && cmake --build --preset win32

bench:
	@scripts/bench.sh

fuzz:
	@scripts/fuzz.sh $(if $(SECONDS),--seconds $(SECONDS)) $(TARGET)

clean:
	rm -rf build
