# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The options of the drill window that reach outside the program: spoken questions reach the
speech server, and the answer box of a Japanese word file switches the input method on."""

import os
import shutil
import socket
import subprocess
import threading
import time

import kx
import speech
from desktop import end_processes
from kx import keys
from speech import SpeechServer

DRILL_TITLE = "Kotobax4"
QT6_FCITX_PLUGIN = "/usr/lib/x86_64-linux-gnu/qt6/plugins/platforminputcontexts/" \
                   "libfcitx5platforminputcontextplugin.so"
MOZC_ADDON = "/usr/share/fcitx5/addon/mozc.conf"
MOZC_SERVER = "/usr/lib/mozc/mozc_server"


def preferences_file():
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "kotobax", "preferences.ini")


class SilentServer:
    """Takes connections on a socket and never answers: a speech server stuck on its sound card.
    Closing it ends the connections, as stopping such a server does."""

    def __init__(self, path):
        self.path = path
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(8)
        self.connections = []
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()

    def _accept(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            self.connections.append(connection)

    def close(self):
        if self.listener is None:
            return
        self.listener.shutdown(socket.SHUT_RDWR)
        self.listener.close()
        self.listener = None
        self.thread.join(5)
        for connection in self.connections:
            connection.close()
        if os.path.exists(self.path):
            os.remove(self.path)


class Options(kx.TestCase):
    def setUp(self):
        self.folder = kx.ProgramFolder()
        self.processes = []
        self.drill = None
        self.saved_environment = dict(os.environ)

    def tearDown(self):
        if self.drill is not None:
            self.drill.kill()
        end_processes(self.processes)
        os.environ.clear()
        os.environ.update(self.saved_environment)
        # The options are the user's: the other tests start from the defaults.
        if os.path.exists(preferences_file()):
            os.remove(preferences_file())
        self.folder.remove()

    def spawn(self, args, env=None):
        process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def open_and_start(self, window, path):
        kx.open_word_file(self.drill, window, path)
        kx.start_drill(self.drill, window)

    def word_file(self, lines):
        path = os.path.join(self.folder.documents, "words.qvw")
        with open(path, "wb") as f:
            f.write(kx.ansi("Version 2.00\r\n" + "".join(line + "\r\n" for line in lines)))
        return path

    def start_with_speech(self):
        self.drill = kx.App.start(self.folder, "Kotobax")
        window = self.drill.window(DRILL_TITLE).wait_active()
        keys("alt+o", "p")  # 問題を読み上げる(&P)
        kx.wait_for(lambda: os.path.exists(preferences_file()), "the preferences file")
        with open(preferences_file()) as f:
            self.assertIn("speakQuestions=true", f.read())
        return window

    def speech_server(self):
        server = SpeechServer(self, self.folder.root)
        self.addCleanup(server.stop)
        return server

    def test_spoken_question_reaches_the_speech_server(self):
        received = self.speech_server().start().received

        window = self.start_with_speech()
        self.open_and_start(window, self.word_file(["kotobax apple|@1|りんご|@1|"]))
        window.wait_text("text", "問題", "kotobax apple")
        kx.wait_for(lambda: received("kotobax apple") == 1, "the question at the speech server",
                    timeout=speech.TIMEOUT)
        keys("F5")
        kx.wait_for(lambda: received("kotobax apple") == 2, "the question spoken again",
                    timeout=speech.TIMEOUT)

    def test_speech_server_that_never_answers_holds_up_no_window(self):
        server = self.speech_server()
        silent = SilentServer(server.socket)
        self.addCleanup(silent.close)
        window = self.start_with_speech()
        self.open_and_start(window, self.word_file(
            ["kotobax one|@1|one|@1|", "kotobax two|@1|two|@1|", "kotobax six|@1|six|@1|"]))

        # The first question went to the silent server; answering goes on all the same.
        for verdicts in (1, 2):
            question = kx.wait_for(lambda: window.text("text", "問題"), "a question", timeout=5)
            keys("F5")
            kx.type_text(question.split()[1])
            keys("Return")
            kx.wait_for(lambda: window.label("判定") == "○", "the verdict", timeout=5)
            keys("Return")
            window.wait_text("text", "解答", "", timeout=5)

        # A working server in its place: speech comes back.
        silent.close()
        server.start()

        def received():
            return [text for text in server.spoken() if text.startswith("kotobax ")]
        deadline = time.monotonic() + speech.TIMEOUT
        while not received() and time.monotonic() < deadline:
            keys("F5")
            time.sleep(1)
        self.assertTrue(received(), "no question reached the working server")

    @staticmethod
    def mozc_server_stays_up():
        # Fcitx 5 waits minutes for a Mozc server that never comes; ask the server first.
        server = subprocess.Popen([MOZC_SERVER], stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            server.wait(2)
            return False
        except subprocess.TimeoutExpired:
            server.terminate()
            server.wait()
            return True

    def test_answer_box_switches_fcitx5_with_mozc_on(self):
        missing = [what for what, there in (
            ("fcitx5", shutil.which("fcitx5")), ("fcitx5-mozc", os.path.exists(MOZC_ADDON) and os.path.exists(MOZC_SERVER)),
            ("fcitx5-frontend-qt6", os.path.exists(QT6_FCITX_PLUGIN))) if not there]
        if missing:
            self.skipTest("SKIPPED: the input method is not checked with a real framework: "
                          "not installed: " + ", ".join(missing))
        if not self.mozc_server_stays_up():
            self.skipTest("SKIPPED: the input method is not checked with a real framework: "
                          "Mozc's server exits at once here (it does not run as root)")
        profile = os.path.join(os.environ["XDG_CONFIG_HOME"], "fcitx5", "profile")
        os.makedirs(os.path.dirname(profile), exist_ok=True)
        with open(profile, "w") as f:
            f.write("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n\n"
                    "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                    "[Groups/0/Items/1]\nName=mozc\nLayout=\n\n[GroupOrder]\n0=Default\n")

        def state():
            result = subprocess.run(["fcitx5-remote"], capture_output=True, text=True)
            return result.stdout.strip()

        # State 0: no input box has the focus; 1: the input method is off; 2: on.
        self.spawn(["fcitx5", "--replace", "--keep"])
        kx.wait_for(lambda: state() in ("0", "1", "2"), "Fcitx 5 on the session bus")
        os.environ.update(QT_IM_MODULE="fcitx", XMODIFIERS="@im=fcitx")
        self.drill = kx.App.start(self.folder, "Kotobax")
        window = self.drill.window(DRILL_TITLE).wait_active()
        self.assertNotEqual(state(), "2")  # Fcitx starts each box with the input method off

        self.open_and_start(window, self.word_file(["apple|@1|りんご|@1|"]))
        window.wait_text("text", "問題", "apple")
        kx.wait_for(lambda: state() == "2", "the input method switched on")
        time.sleep(0.5)  # Mozc's converter starts on first use
        keys("r", "i", "n", "g", "o", "Return")  # Enter confirms the conversion
        window.wait_text("text", "解答", "りんご")
        keys("Return")
        kx.wait_for(lambda: window.label("判定") == "○", "the verdict ○")
