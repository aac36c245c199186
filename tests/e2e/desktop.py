# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""A private desktop for the end-to-end tests: a virtual X display with a window manager, a D-Bus
session bus and the accessibility bus, all in a throw-away home folder."""

import ctypes
import os
import select
import signal
import shutil
import subprocess
import tempfile
import time


class DesktopUnavailable(Exception):
    pass


def end_processes(processes):
    """Ends the processes, the last started first, killing those that do not end in time."""
    for process in reversed(processes):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def _read_line(stream, timeout):
    ready, _, _ = select.select([stream], [], [], timeout)
    return stream.readline().strip() if ready else ""


class Desktop:
    # Tall enough for the drill window at twice the scale, whole in its screenshot.
    def __init__(self, width=1280, height=1024):
        self.size = f"{width}x{height}x24"
        self.processes = []
        self.log = None
        self.home = tempfile.mkdtemp(prefix="kx-e2e-home-")
        self.env = dict(os.environ)

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _spawn(self, args, **kwargs):
        process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def _start(self):
        # Programs that the programs start (the editor, the accessibility bus's daemons) are
        # handed to this process when their parent ends, so that stop() can end them too.
        PR_SET_CHILD_SUBREAPER = 36
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        self.log = log = open(os.path.join(self.home, "desktop.log"), "w")
        self.env.update(HOME=self.home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_CACHE_HOME=os.path.join(self.home, "cache"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        LANG="C.UTF-8", LC_ALL="C.UTF-8", QT_QPA_PLATFORM="xcb",
                        QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER"):
            self.env.pop(name, None)

        if shutil.which("Xvfb") is None:
            raise DesktopUnavailable("Xvfb is not installed")
        # Xvfb picks a free display itself and tells its number through the pipe.
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size,
                     "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = _read_line(pipe, 15)
        if not number.isdigit():
            log.flush()
            with open(log.name) as f:
                said = " ".join(f.read().split())[-300:]
            raise DesktopUnavailable("Xvfb did not start: " + said)
        self.env["DISPLAY"] = ":" + number

        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=log, text=True)
        address = _read_line(bus.stdout, 10)
        if not address:
            raise RuntimeError("the D-Bus session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        launcher = "/usr/libexec/at-spi-bus-launcher"
        if os.path.exists(launcher):  # otherwise the session bus starts it on first use
            self._spawn([launcher, "--launch-immediately"], stdout=log, stderr=log)
        self._spawn(["openbox", "--sm-disable"], stdout=log, stderr=log)
        time.sleep(1.0)
        # The tests and the accessibility client library run in this process.
        os.environ.update(self.env)
        for name in ("WAYLAND_DISPLAY", "SESSION_MANAGER"):
            os.environ.pop(name, None)

    def stop(self):
        end_processes(self.processes)
        self.processes = []
        self._end_adopted()
        if self.log is not None:
            self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)

    @staticmethod
    def _children():
        me = str(os.getpid())
        found = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/stat") as f:
                        fields = f.read().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                if fields[1] == me:
                    found.append(int(entry))
        return found

    def _end_adopted(self):
        for signal_number in (signal.SIGTERM, signal.SIGKILL):
            for pid in self._children():
                try:
                    os.kill(pid, signal_number)
                except ProcessLookupError:
                    pass
            deadline = time.monotonic() + 3
            while self._children() and time.monotonic() < deadline:
                try:
                    os.waitpid(-1, os.WNOHANG)
                except ChildProcessError:
                    break
                time.sleep(0.05)
