import gc
import os
import subprocess
import sys
import threading
import time

import pytest
import vela


def cli(*args):
    return subprocess.run([os.environ["VELA_CLI"], *args], capture_output=True, text=True, check=True)


def test_import_loads_no_qt_and_help_reads():
    code = ("import sys, vela; help(vela); help(vela.Camera)\n"
            "assert not [m for m in sys.modules if m.startswith('PySide') or m.startswith('PyQt')]\n"
            "assert 'libQt' not in open('/proc/self/maps').read()\n")
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                         env={**os.environ, "PAGER": "cat"})
    assert run.returncode == 0, run.stderr
    assert "One Camera must not be shared between threads" in run.stdout


def test_open_finds_baud_and_model_and_with_closes(camsim):
    camsim(3, "--baud", "38400", "--model", "VELA-8K-MONO")
    with vela.Camera("COM3") as cam:
        assert (cam.port, cam.baud, cam.model) == ("COM3", 38400, "VELA-8K-MONO")
        assert cam.info()["model"] == "VELA-8K-MONO"
        assert cam.area in range(4)
        assert cam.send("GA?") == [f"GA={cam['GA']}"]
    assert cam.closed
    with pytest.raises(ValueError):
        cam["GA"]


def test_get_set_by_the_windows_rules(camsim):
    camsim(3)
    with vela.Camera("COM3", baud=9600, fast=True) as cam:
        cam["GA"] = 321
        cam.set(BL=7, TS=1)
        assert cam.get("ga", "BL", "TS") == {"GA": 321, "BL": 7, "TS": 1}
        assert {"GA": 321, "BL": 7, "TS": 1}.items() <= cam.read_all().items()
        cam.store(2)
        cam["GA"] = 400
        cam.load(2)
        assert cam["GA"] == 321
        with pytest.raises(ValueError, match="factory"):
            cam.store(0)
        # Outside the row's range nothing is sent.
        with pytest.raises(ValueError, match="100 to 1600"):
            cam["GA"] = 5000
        assert cam["GA"] == 321
        with pytest.raises(KeyError):
            cam["NOSUCH"]


def test_refusal_and_silence_raise_with_the_result(camsim):
    camsim(3, "--fail", "refuse")
    camsim(4, "--delay-cmd", "GA=3000")
    with vela.Camera("COM3", baud=9600) as cam:
        with pytest.raises(vela.Refused) as refused:
            cam["GA"] = 321
        assert (refused.value.sent, refused.value.answer) == ("GA=321", "ERROR")
        assert cam["GA"] != 321
    with vela.Camera("COM4", baud=9600, timeout=0.3) as cam:
        with pytest.raises(vela.NoAnswer) as silent:
            cam["GA"]
        assert (silent.value.sent, silent.value.timeout) == ("GA?", 0.3)
    assert issubclass(vela.NoAnswer, vela.Error) and issubclass(vela.Refused, vela.Error)


def test_save_apply_diff_round_trip(camsim, tmp_path):
    camsim(3, "--baud", "115200")
    saved, window = tmp_path / "saved.cam", tmp_path / "window.cam"
    with vela.Camera("COM3", baud=115200, fast=True) as cam:
        cam.save(str(saved))
        original = cam["GA"]
    cli("-p", "COM3", "-b", "115200", "save", str(window))
    assert saved.read_bytes() == window.read_bytes()

    with vela.Camera("COM3", baud=115200, fast=True) as cam:
        cam["GA"] = original + 5
        assert cam.diff(str(saved)) == {"GA": (original, original + 5)}
        report = cam.apply(str(saved))
        assert report.sent > 0 and report.refused == [] and report.skipped == []
        assert cam.diff(str(saved)) == {}

        odd = tmp_path / "odd.cam"
        odd.write_bytes(b"GA=200\r\nXYZ=1\r\nGA=5000\r\n")
        report = cam.apply(str(odd))
        assert (report.sent, report.skipped, report.refused) == (2, [(2, "XYZ=1")], [("GA=5000", "ERROR")])

        with pytest.raises(vela.FileError) as missing:
            cam.apply(str(tmp_path / "missing.cam"))
        assert missing.value.path == str(tmp_path / "missing.cam")
        with pytest.raises(vela.FileError):
            cam.save(str(tmp_path / "no-folder" / "x.cam"))


def test_lut_write_then_read(camsim):
    camsim(3, "--baud", "115200")
    ramp = [(i * 37) % 4096 for i in range(256)]
    with vela.Camera("COM3", baud=115200, fast=True) as cam:
        cam.lut = ramp
        assert cam.lut == ramp
        with pytest.raises(ValueError):
            cam.lut = ramp[:255]


def test_four_cameras_in_four_threads_at_once(camsim):
    # BL's answer takes 2 s on every camera: the four queries overlap only when each
    # thread lets go of the interpreter while it waits.
    for com in range(1, 5):
        camsim(com, "--baud", "115200", "--delay-cmd", "BL=2000")
    results, spans, errors = {}, {}, []
    ready = threading.Barrier(4)

    def run(com):
        try:
            with vela.Camera(f"COM{com}", baud=115200, timeout=10, fast=True) as cam:
                cam["GA"] = 100 + com
                ready.wait()
                start = time.monotonic()
                cam["BL"]
                spans[com] = (start, time.monotonic())
                results[com] = cam["GA"]
        except Exception as e:  # noqa: BLE001 - reported below
            errors.append(e)
            ready.abort()

    threads = [threading.Thread(target=run, args=(com,)) for com in range(1, 5)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
    assert results == {com: 100 + com for com in range(1, 5)}
    assert max(s for s, _ in spans.values()) < min(e for _, e in spans.values())


def test_missing_port_raises_port_error(config):
    with pytest.raises(vela.PortError) as error:
        vela.Camera("COM9", baud=9600)
    assert "COM9" in error.value.reason


def test_camera_without_with_closes_its_port_when_collected(camsim, config):
    camsim(3)
    device = os.path.realpath(config / "ports" / "COM3")

    def open_fds():
        fds = "/proc/self/fd"
        return [f for f in os.listdir(fds) if os.path.realpath(os.path.join(fds, f)) == device]

    cam = vela.Camera("COM3", baud=9600)
    assert open_fds()
    del cam
    gc.collect()
    assert open_fds() == []


def test_stub_file_names_what_the_module_has():
    import ast
    stub = ast.parse(open(os.path.join(os.path.dirname(vela.__file__), "vela.pyi")).read())

    def names(body):
        found = set()
        for node in body:
            if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
                found.add(node.name)
            elif isinstance(node, ast.AnnAssign):
                found.add(node.target.id)
        return found

    public = {n for n in dir(vela) if not n.startswith("_") or n == "__version__"}
    assert names(stub.body) == public
    camera = next(n for n in stub.body if isinstance(n, ast.ClassDef) and n.name == "Camera")
    assert {n for n in names(camera.body) if not n.startswith("__")} == \
        {n for n in dir(vela.Camera) if not n.startswith("_")}
