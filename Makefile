# Entry points; each installs what it needs on a fresh Debian 12 machine (as root).
.PHONY: test run build web dist bench fuzz screenshots clean

test:
	@scripts/test.sh

run:
	@scripts/run.sh

build:
	@scripts/deps.sh all
	cmake --preset native && cmake --build --preset native
	cmake --preset win32 && cmake --build --preset win32

# The command in the browser: build/web/paiview.html, one page to open from disk.
web:
	@scripts/deps.sh web
	cmake --preset web && cmake --build --preset web
	@echo "web: build/web/paiview.html ($$(stat -c %s build/web/paiview.html) bytes)"

# The players' download: build/dist/paiview-VERSION-windows.zip and build/dist/SHA256SUMS,
# built from clean folders (build/dist-work); the same commit gives the same bytes.
dist:
	@scripts/deps.sh all
	@scripts/dist.sh build/dist build/dist-work

bench:
	@scripts/bench.sh

fuzz:
	@scripts/fuzz.sh $(if $(SECONDS),--seconds $(SECONDS)) $(TARGET)

clean:
	rm -rf build
