"""Fixtures of the module's suite: the built-in sample as an OBJ file, the
pavlex command beside the module, and a session that always ends."""

import os
import subprocess

import numpy as np
import pytest

import pavlex


@pytest.fixture(scope="session")
def cli():
    path = os.environ.get("PAVLEX_CLI")
    if not path:
        pytest.fail("PAVLEX_CLI names the pavlex command (CTest sets it)")
    return path


def run_cli(cli, *args, settings):
    return subprocess.run([cli, "--settings", str(settings), *args], capture_output=True, text=True, check=False)


@pytest.fixture(scope="session")
def sample_obj(cli, tmp_path_factory):
    """The pavlex command's built-in sample, saved once as OBJ + MTL."""
    folder = tmp_path_factory.mktemp("sample")
    path = folder / "sample.obj"
    done = run_cli(cli, "-o", str(path), settings=folder / "settings.xml")
    assert done.returncode == 0, done.stderr
    return path


@pytest.fixture
def settings(tmp_path):
    return tmp_path / "settings.xml"


@pytest.fixture
def session(settings, sample_obj):
    with pavlex.Session(settings=settings) as running:
        running.open(sample_obj)
        yield running


def printed_uvs(text):
    """`print uv` lines as {(face, corner): (u, v)}, read back as float32:
    %.9g is exact for the host's single precision."""
    out = {}
    for line in text.splitlines():
        word = line.split()
        if word and word[0] == "uv":
            out[(int(word[1]), int(word[2]))] = (np.float32(word[3]), np.float32(word[4]))
    return out
