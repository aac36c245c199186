# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Two Syncthing instances sharing one folder between two homes, as a learner's two machines
would: each with a configuration folder of its own, talking to the other on the loopback address
only, with no discovery, relays, NAT, usage reports, crash reports or upgrades."""

import copy
import json
import os
import re
import secrets
import shutil
import signal
import socket
import subprocess
import time
import urllib.request
import xml.etree.ElementTree as ElementTree

PROGRAM = "syncthing"
FOLDER_ID = "kotobax"
START_TIMEOUT = 20.0
# Set in every instance's options: nothing leaves the loopback address, nothing runs that a test
# does not need.
OPTIONS = {
    "globalAnnounceEnabled": "false",
    "localAnnounceEnabled": "false",
    "relaysEnabled": "false",
    "natEnabled": "false",
    "urAccepted": "-1",
    "autoUpgradeIntervalH": "0",
    "startBrowser": "false",
    "crashReportingEnabled": "false",
    "reconnectionIntervalS": "1",
}


class Unavailable(Exception):
    """Syncthing is not installed here, or does not start."""


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _set_text(parent, tag, text):
    node = parent.find(tag)
    if node is None:
        node = ElementTree.SubElement(parent, tag)
    node.text = text


class Instance:
    """One machine's Syncthing: its configuration in config, the shared folder at folder."""

    def __init__(self, name, config, folder):
        self.name = name
        self.config = config
        self.folder = folder
        self.gui = f"127.0.0.1:{_free_port()}"
        self.listen = f"tcp://127.0.0.1:{_free_port()}"
        self.api_key = secrets.token_hex(16)
        self.process = None
        self.log_path = os.path.join(config, "syncthing.log")
        self.env = dict(os.environ, HOME=os.path.dirname(config), STNOUPGRADE="1",
                        STNORESTART="1", STNODEFAULTFOLDER="1")
        for name in ("DISPLAY", "http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY",
                     "HTTPS_PROXY", "ALL_PROXY"):
            self.env.pop(name, None)
        made = self._run("generate", "--home", config, "--no-default-folder",
                         "--skip-port-probing")
        found = re.search(r"Device ID: *([A-Z0-9-]{50,})", made)
        if not found:
            raise Unavailable(f"syncthing generate said no device id: {made[-300:]}")
        self.device = found.group(1)

    def _run(self, *arguments):
        try:
            done = subprocess.run([PROGRAM, *arguments], env=self.env, capture_output=True,
                                  text=True, timeout=60, stdin=subprocess.DEVNULL)
        except (OSError, subprocess.TimeoutExpired) as why:
            raise Unavailable(f"syncthing {arguments[0]} failed: {why}") from why
        if done.returncode != 0:
            raise Unavailable(f"syncthing {arguments[0]} ended with {done.returncode}: "
                              f"{(done.stdout + done.stderr)[-300:]}")
        return done.stdout + done.stderr

    def share_with(self, peer):
        """Writes the configuration: the peer at its own address, the folder shared with it."""
        path = os.path.join(self.config, "config.xml")
        tree = ElementTree.parse(path)
        root = tree.getroot()
        gui = root.find("gui")
        _set_text(gui, "address", self.gui)
        _set_text(gui, "apikey", self.api_key)
        options = root.find("options")
        _set_text(options, "listenAddress", self.listen)
        for key, value in OPTIONS.items():
            _set_text(options, key, value)

        for device in root.findall("device"):
            _set_text(device, "address", self.listen)
            device.set("name", self.name)
        other = copy.deepcopy(root.find("defaults/device"))
        other.set("id", peer.device)
        other.set("name", peer.name)
        _set_text(other, "address", peer.listen)
        root.append(other)

        # The folder as the defaults would make it, rescanned every second and watched.
        folder = copy.deepcopy(root.find("defaults/folder"))
        folder.attrib.update(id=FOLDER_ID, label=FOLDER_ID, path=self.folder, type="sendreceive",
                             rescanIntervalS="1", fsWatcherEnabled="true", fsWatcherDelayS="1")
        ElementTree.SubElement(folder, "device", id=peer.device, introducedBy="")
        root.insert(0, folder)
        tree.write(path)
        os.makedirs(os.path.join(self.folder, ".stfolder"), exist_ok=True)

    def start(self):
        with open(self.log_path, "w") as log:
            self.process = subprocess.Popen(
                [PROGRAM, "serve", "--home", self.config, "--no-browser", "--no-restart",
                 "--no-upgrade", "--logfile=-"],
                env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                start_new_session=True)
        deadline = time.monotonic() + START_TIMEOUT
        while True:
            if self.process.poll() is not None:
                raise Unavailable(f"syncthing {self.name} ended at start: {self.log_tail()}")
            try:
                if self.rest("system/ping").get("ping") == "pong":
                    return
            except OSError:
                pass
            if time.monotonic() > deadline:
                raise Unavailable(f"syncthing {self.name} did not answer: {self.log_tail()}")
            time.sleep(0.2)

    def rest(self, what, method="GET"):
        request = urllib.request.Request(f"http://{self.gui}/rest/{what}", method=method,
                                         headers={"X-API-Key": self.api_key})
        # Never through a proxy: the address is this machine's own.
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        with opener.open(request, timeout=5) as answer:
            body = answer.read()
        return json.loads(body) if body.strip() else {}

    def connected(self, peer):
        connections = self.rest("system/connections").get("connections", {})
        return connections.get(peer.device, {}).get("connected", False)

    def scan(self):
        """Looks at the folder now rather than at the next rescan."""
        self.rest(f"db/scan?folder={FOLDER_ID}", method="POST")

    def log_tail(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return " ".join(f.read().split())[-400:]
        except OSError:
            return "(no log)"

    def stop(self):
        """Ends the instance and the process it runs the sync in, both of its own group."""
        if self.process is None:
            return
        # The first waits for the sync to end; the second takes whatever is left of the group.
        for signal_number in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, signal_number)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                pass
        self.process = None


def pair(homes, folders):
    """Two started instances, one per home, sharing folders[0] and folders[1]; raises
    Unavailable where Syncthing is not installed or does not start."""
    if shutil.which(PROGRAM) is None:
        raise Unavailable("syncthing is not installed (Debian package syncthing)")
    instances = [Instance(name, os.path.join(home, "syncthing"), folder)
                 for name, home, folder in zip(("a", "b"), homes, folders)]
    instances[0].share_with(instances[1])
    instances[1].share_with(instances[0])
    try:
        for instance in instances:
            instance.start()
    except BaseException:
        for instance in instances:
            instance.stop()
        raise
    return instances
