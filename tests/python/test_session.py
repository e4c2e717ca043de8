"""pavlex.Session: one per process, the command language with its errors,
the typed calls, dialogs and message boxes that never wait, and an ended
session that refuses everything."""

import pydoc
import struct

import numpy as np
import pytest

import pavlex


def test_one_session_at_a_time(settings, tmp_path):
    with pavlex.Session(settings=settings) as first:
        with pytest.raises(RuntimeError, match="already running"):
            pavlex.Session(settings=tmp_path / "other.xml")
        assert first.running
        first.run("draw")  # the refused one left the first intact
    with pavlex.Session(settings=settings) as second:
        assert second.running


def test_an_ended_session_refuses_every_call(settings, sample_obj):
    with pavlex.Session(settings=settings) as ended:
        ended.open(sample_obj)
    assert not ended.running and "ended" in repr(ended)
    ended.exit()  # again: nothing
    calls = [
        lambda: ended.run("print uv"), lambda: ended.open(sample_obj), lambda: ended.save(),
        lambda: ended.press("Select/group"), lambda: ended.uvs(), lambda: ended.widgets(),
        lambda: ended.set_uv_selection(np.zeros(0, bool)),
    ]
    for call in calls:
        with pytest.raises(RuntimeError, match="has ended"):
            call()


def test_settings_file_is_written_when_the_session_ends(settings, sample_obj, tmp_path):
    with pavlex.Session(settings=settings) as running:
        running.open(sample_obj)
        running.layout(tmp_path / "uv.png", 320, 160)
    assert b"<TexWidth>320</TexWidth>" in settings.read_bytes()


def test_bad_paths_fail_with_the_host_message_and_keep_the_document(session, settings, tmp_path):
    before = session.uvs()
    with pytest.raises(pavlex.CommandError, match="missing.obj") as error:
        session.open(tmp_path / "missing.obj")
    assert error.value.line is None
    np.testing.assert_array_equal(session.uvs(), before)

    with pytest.raises(pavlex.CommandError):
        session.save(tmp_path / "no-such-folder" / "out.obj")
    assert not (tmp_path / "no-such-folder").exists()

    with pytest.raises(pavlex.CommandError, match="nearest: "):
        session.press("Select/no-such-button")
    with pytest.raises(pavlex.CommandError, match="does not name an image file"):
        session.layout(tmp_path / "uv.txt", 64, 64)
    # The plug-in's own OK-only message box fails the call at once.
    with pytest.raises(pavlex.CommandError, match="Cannot write .*the folder does not exist"):
        session.layout(tmp_path / "no-such-folder" / "uv.png", 64, 64, ["wireframe"])


def test_a_plugin_that_cannot_load_leaves_no_session(settings, tmp_path):
    with pytest.raises(RuntimeError, match="not-a-plugin.so"):
        pavlex.Session(settings=settings, plugin=tmp_path / "not-a-plugin.so")
    with pavlex.Session(settings=settings) as running:
        assert running.running


def test_run_errors_name_their_line_and_stop_the_script(session):
    with pytest.raises(pavlex.CommandError) as error:
        session.run("select uv all\n# a comment\npress Nope/Nothing\nselect uv none")
    assert error.value.line == 3
    assert str(error.value).startswith("script:3: no button named 'Nope/Nothing'")
    assert session.uv_selection().all()  # the line after the error did not run

    # A typo is found before anything runs.
    with pytest.raises(pavlex.CommandError, match="unknown command 'selcet'") as error:
        session.run("select uv none; selcet uv all")
    assert error.value.line == 1 and session.uv_selection().all()


def test_dialogs_and_message_boxes_never_wait(session):
    # A dialog takes the lines after the one that opened it, in the same run.
    printed = session.run('select uv all; press Manipulate/Numerical; set "pivot U" 0.5; press Cancel; print uv')
    assert printed.startswith("uv 0 0 ")
    with pytest.raises(pavlex.CommandError, match="ended while the dialog 'FileOuput' is open"):
        session.press("File/Output")
    # A box with Cancel needs an answer in the script.
    session.run("press Memory/Store/1")
    with pytest.raises(pavlex.CommandError, match='ended while the message box "Overwrite\\?" is open'):
        session.press("Memory/Store/1")
    session.run("press Memory/Store/1; answer ok")


def test_typed_calls_reach_the_plugin(session, tmp_path):
    paths = dict(session.widgets())
    assert paths["Select/group"] == "button" and paths["Memory/Lock/1"] == "button"

    session.select_uv([(0, 0)])
    session.press("Select/group")
    assert session.uv_selection().sum() > 1
    session.select_uv("none")
    session.select_uv(rect=(0, 0, 0.1, 0.1))
    assert session.uv_selection().sum() == 1
    session.select_uv(rect=(0, 0, 1, 1), deselect=True)
    assert not session.uv_selection().any()
    session.select_uv(np.array([[0, 1], [1, 2]]))
    assert session.uv_selection().sum() == 2
    for wrong in ([(0, 0.5)], [(0,)], "some", [(0, 99)]):
        with pytest.raises((ValueError, pavlex.CommandError)):
            session.select_uv(wrong)
    assert session.uv_selection().sum() == 2

    session.check("Trun/edge", True)
    assert "Trun/edge" in session.run('print tree "Pavlex"')
    session.click("Memory/Lock/1", ctrl=True)
    with pytest.raises(ValueError, match="not both"):
        session.click("Memory/Lock/1", ctrl=True, shift=True)
    with pytest.raises(ValueError, match="line break"):
        session.press("Select/group\nselect uv all")

    picture = tmp_path / 'odd "name"; #1.png'
    session.layout(picture, 48, 32, ["wireframe", "memory=1"])
    header = picture.read_bytes()[:24]
    assert header[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", header[16:24]) == (48, 32)
    with pytest.raises(ValueError, match="width and height"):
        session.layout(picture, 48)


def test_help_documents_every_call():
    text = pydoc.render_doc(pavlex.Session, renderer=pydoc.plaintext)
    assert "Only one Session may run in a process" in text
    public = [name for name in dir(pavlex.Session) if not name.startswith("_")]
    assert {"run", "press", "uvs", "set_uvs", "layout"} <= set(public)
    for name in public:
        assert getattr(pavlex.Session, name).__doc__, name
    assert pavlex.CommandError.__doc__ and pavlex.__doc__
