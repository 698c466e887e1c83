"""Simulated cameras for the vela module's tests: vela-camsim on pseudo-terminals, linked
as COMn in a config folder of each test's own (VELA_CONFIG_DIR)."""

import os
import signal
import subprocess

import pytest


@pytest.fixture
def config(tmp_path, monkeypatch):
    folder = tmp_path / "config"
    folder.mkdir()
    monkeypatch.setenv("VELA_CONFIG_DIR", str(folder))
    return folder


@pytest.fixture
def camsim(config):
    """start(com, *options) runs vela-camsim as COM<com> and returns once it serves."""
    running = []

    def start(com, *options):
        sim = subprocess.Popen([os.environ["VELA_CAMSIM"], "--port", f"COM{com}", *options],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        running.append(sim)
        # The terminal's path, then the COM link: once printed, the camera answers.
        sim.stdout.readline()
        link = sim.stdout.readline()
        assert " -> " in link, sim.stderr.read()
        return sim

    yield start
    for sim in running:
        sim.send_signal(signal.SIGTERM)
        sim.wait(timeout=10)
