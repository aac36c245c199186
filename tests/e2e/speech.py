# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""A private speech server for the tests that speak: speech-dispatcher on a socket of its own,
playing into no sound card, its log telling what it was given to say."""

import os
import re
import shutil
import subprocess
import tempfile

import kx

# How long a test waits for a text at the server. Its arrival decides; the bound only ends a
# test whose speech never comes. A new client is first sent the server's whole voice list (over
# 13,000 voices of espeak-ng and its MBROLA variants): on a loaded machine that alone has taken
# 13 s, so the former 15 s failed with nothing wrong.
TIMEOUT = 120.0


class SpeechServer:
    """The server's folder and socket under root; the programs started afterwards use it
    (SPEECHD_ADDRESS). Skips the test when speech-dispatcher is not installed."""

    def __init__(self, test, root):
        if shutil.which("speech-dispatcher") is None:
            test.skipTest("SKIPPED: speech-dispatcher is not installed")
        self.folder = tempfile.mkdtemp(prefix="kx-speech-", dir=root)
        self.socket = os.path.join(self.folder, "socket")
        self.process = None
        os.environ["SPEECHD_ADDRESS"] = "unix_socket:" + self.socket

    def start(self):
        # The system's configuration, playing into libao's null driver: without a sound card
        # the server would hang on its output, and the program with it.
        config = os.path.join(self.folder, "config")
        if not os.path.exists(config):
            shutil.copytree("/etc/speech-dispatcher", config)
            with open(os.path.join(config, "speechd.conf"), "a") as f:
                f.write('\nAudioOutputMethod "libao"\n')
            home = os.path.join(self.folder, "home")
            os.mkdir(home)
            with open(os.path.join(home, ".libao"), "w") as f:
                f.write("default_driver=null\n")
        self.process = subprocess.Popen(
            ["speech-dispatcher", "--run-single", "--log-level", "5", "--log-dir", self.folder,
             "--config-dir", config, "--communication-method", "unix_socket", "--socket-path",
             self.socket, "--pid-file", os.path.join(self.folder, "pid"), "--timeout", "60"],
            env=dict(os.environ, HOME=os.path.join(self.folder, "home")),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        kx.wait_for(lambda: os.path.exists(self.socket), "the speech server")
        return self

    def spoken(self):
        """The texts the server was given to say, in order."""
        path = os.path.join(self.folder, "speech-dispatcher.log")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            log = f.read().decode("utf-8", "replace")
        return re.findall(r"Queueing message \|(.*?)\|", log)

    def received(self, text):
        """How many times the server was given text to say."""
        return self.spoken().count(text)

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
