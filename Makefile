# Entry points named in the README. Each installs what is missing, builds, then acts.
BUILD       ?= build
ASAN_BUILD  ?= build-asan
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_MAXLEN  ?= 4096
# An info and a copy of a few stations side by side.
FUZZ_RECOVERY_MAXLEN ?= 8192

# Debian packages by entry point: each installs only what it uses.
BUILD_PACKAGES   = cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev
# Only without a display: make run then starts the program in a virtual X server.
RUN_PACKAGES     = xvfb xauth
# CPack's DEB generator finds the library dependencies with dpkg-shlibdeps, which needs file.
PACKAGE_PACKAGES = dpkg-dev file
# The packaging tests validate the launcher and the metainfo and build the .deb; the
# formatting check needs clang-format; the suites about activation run once more on a
# virtual X server, bare and under openbox (xprop tells when it is ready).
TEST_PACKAGES    = desktop-file-utils appstream clang-format xvfb openbox x11-utils $(PACKAGE_PACKAGES)
# libFuzzer's runtime is only a recommendation of clang's, so it is named here.
FUZZ_PACKAGES    = clang libclang-rt-dev
# The Windows build: the MinGW-w64 cross compiler, Qt's host tools (moc, rcc, uic), NSIS for
# the setup program; Wine runs its suites, drawing with the DejaVu fonts, and the zip and the
# setup program on a virtual X server.
WINDOWS_PACKAGES      = cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools nsis
WINDOWS_TEST_PACKAGES = wine wine64 fonts-dejavu-core xvfb x11-utils
WIN_BUILD ?= build-win64

.PHONY: run test bench deps test-deps build asan format-check fuzz fuzz-recovery fuzz-roster round-trip package install clean windows windows-test

deps:
	@./tools/ensure-deps.sh $(BUILD_PACKAGES)

test-deps: deps
	@./tools/ensure-deps.sh $(TEST_PACKAGES)

# The normal build includes the benchmark programs, so CI keeps them building, and stops
# at a warning in the project's own code.
build: deps
	cmake -S . -B $(BUILD) -DKOLVANE_BENCH=ON -DKOLVANE_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@[ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] || ./tools/ensure-deps.sh $(RUN_PACKAGES)
	./tools/run-program.sh $(BUILD)/src/kolvane

# The test packages come before the build, whose configuration looks for the X server.
test: test-deps build format-check
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory asan

# Every source in the house style (.clang-format); a difference fails the test command.
format-check: test-deps
	find src tests bench -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, with
# leak detection; tests/lsan.supp names the only leaks let through, inside system libraries.
asan: deps test-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKOLVANE_ASAN=ON -DKOLVANE_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 KOLVANE_ROUND_TRIP_NETS=200 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DKOLVANE_BENCH=ON -DKOLVANE_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	./tools/run-bench.sh $(BUILD)-bench

# Builds the session-file reader's libFuzzer target with clang and runs it for FUZZ_SECONDS.
# New inputs go to $(FUZZ_BUILD)/corpus; a crash leaves its input in $(FUZZ_BUILD)/. Copy
# inputs worth keeping into tests/fuzz/corpus, where the normal suite replays them.
fuzz: deps
	@./tools/ensure-deps.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DKOLVANE_BUILD_TESTS=ON -DKOLVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_session_reader -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/tests/fuzz_session_reader -max_total_time=$(FUZZ_SECONDS) -max_len=$(FUZZ_MAXLEN) \
	      -timeout=10 -dict=tests/fuzz/session.dict -artifact_prefix=$(FUZZ_BUILD)/ \
	      $(FUZZ_BUILD)/corpus tests/fuzz/corpus

# The same for what a start reads unasked: a left recovery copy and its info, fuzzed
# together. FUZZ_RUNS, when given, ends the run after that many inputs if FUZZ_SECONDS have
# not ended it first. Inputs worth keeping go into tests/fuzz/recovery-corpus, which the
# normal suite replays too.
fuzz-recovery: deps
	@./tools/ensure-deps.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DKOLVANE_BUILD_TESTS=ON -DKOLVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_recovery_copy -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/recovery-corpus
	$(FUZZ_BUILD)/tests/fuzz_recovery_copy -max_total_time=$(FUZZ_SECONDS) $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS),) \
	      -max_len=$(FUZZ_RECOVERY_MAXLEN) -timeout=10 -dict=tests/fuzz/recovery.dict \
	      -artifact_prefix=$(FUZZ_BUILD)/recovery- $(FUZZ_BUILD)/recovery-corpus tests/fuzz/recovery-corpus

# The same for the reader of the regulars' roster file (FUZZ_RUNS as above); its seeds are
# tests/fuzz/roster-corpus.
fuzz-roster: deps
	@./tools/ensure-deps.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DKOLVANE_BUILD_TESTS=ON -DKOLVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_roster_reader -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/roster-corpus
	$(FUZZ_BUILD)/tests/fuzz_roster_reader -max_total_time=$(FUZZ_SECONDS) $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS),) \
	      -max_len=$(FUZZ_MAXLEN) \
	      -timeout=10 -dict=tests/fuzz/roster.dict -artifact_prefix=$(FUZZ_BUILD)/roster- \
	      $(FUZZ_BUILD)/roster-corpus tests/fuzz/roster-corpus

# Nets generated by the hundred thousand through the running windows: Open then Save, the
# recovery copy restored then Save, a transfer file opened then Save, each compared byte for
# byte with what the writer gives (the normal suite runs a thousand). A failure names the
# seed that repeats it: ROUND_TRIP_SEED=<seed> ROUND_TRIP_NETS=1.
ROUND_TRIP_BUILD ?= build-round-trip
ROUND_TRIP_NETS  ?= 100000
ROUND_TRIP_SEED  ?= 1000000
round-trip: deps
	cmake -S . -B $(ROUND_TRIP_BUILD) -DCMAKE_BUILD_TYPE=Release -DKOLVANE_BUILD_TESTS=ON
	cmake --build $(ROUND_TRIP_BUILD) --target test_window_round_trip -j $(JOBS)
	QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.qpa.*=false" QTEST_FUNCTION_TIMEOUT=86400000 \
	    KOLVANE_ROUND_TRIP_NETS=$(ROUND_TRIP_NETS) \
	    KOLVANE_ROUND_TRIP_SEED=$(ROUND_TRIP_SEED) $(ROUND_TRIP_BUILD)/tests/test_window_round_trip -maxwarnings 0 everyPathGivesTheWritersBytes

# The Debian package, $(BUILD)/kolvane_<version>_<arch>.deb, installing under /usr.
package: build
	@./tools/ensure-deps.sh $(PACKAGE_PACKAGES)
	cd $(BUILD) && cpack -G DEB

# Kolvane for Windows, cross-built with MinGW-w64 against a Qt for MinGW that
# tools/qt-mingw-prefix.sh finds (QT_MINGW_PREFIX=<dir> names one) or builds once into a
# cache. Leaves $(WIN_BUILD)/kolvane-<version>-win64.zip and ...-win64-setup.exe. A build
# configured against another Qt for MinGW is configured afresh.
windows:
	@./tools/ensure-deps.sh $(WINDOWS_PACKAGES)
	prefix=$$(QT_MINGW_PREFIX="$(QT_MINGW_PREFIX)" ./tools/qt-mingw-prefix.sh --build) && \
	{ grep -qsx "Qt6_DIR:PATH=$$prefix/lib/cmake/Qt6" $(WIN_BUILD)/CMakeCache.txt || \
	  rm -rf $(WIN_BUILD)/CMakeCache.txt $(WIN_BUILD)/CMakeFiles; } && \
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	      -DCMAKE_PREFIX_PATH="$$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
	      -DCMAKE_BUILD_TYPE=Release -DKOLVANE_WERROR=ON -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine $(CMAKE_FLAGS)
	cmake --build $(WIN_BUILD) -j $(JOBS)
	cd $(WIN_BUILD) && cpack -G ZIP && cpack -G NSIS

# Every suite of the Windows build under Wine, headless, in a Wine prefix of the build's own.
# Wine and the X server come first: the configuration looks for the X server.
windows-test:
	@./tools/ensure-deps.sh $(WINDOWS_TEST_PACKAGES)
	$(MAKE) --no-print-directory windows
	[ -f $(WIN_BUILD)/wine/system.reg ] || \
	    { WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wine WINEDEBUG=-all wineboot -i && \
	      WINEPREFIX=$(CURDIR)/$(WIN_BUILD)/wine wineserver -w; }
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX),)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BUILD)-bench $(FUZZ_BUILD) $(WIN_BUILD)
