"""The NumPy side: reads in `print uv` order, writes as undoable commands
that the plug-in, the history and the OBJ writer see like any other."""

import numpy as np
import pytest

import pavlex
from conftest import printed_uvs, run_cli


def face_normals(counts, vertices, positions):
    """Newell normals of the face slots, unit length (zero for deleted faces)."""
    starts = np.concatenate(([0], np.cumsum(counts)[:-1]))
    face_of = np.repeat(np.arange(len(counts)), counts)
    following = np.arange(len(vertices)) + 1
    live = counts > 0
    following[(starts + counts)[live] - 1] = starts[live]
    p = positions[vertices].astype(np.float64)
    q = positions[vertices[following]].astype(np.float64)
    normals = np.zeros((len(counts), 3))
    np.add.at(normals, face_of, np.cross(p, q))
    length = np.linalg.norm(normals, axis=1, keepdims=True)
    return np.divide(normals, length, out=np.zeros_like(normals), where=length > 0), face_of


def test_inverting_the_x_facing_faces_matches_the_pavlex_command(session, cli, sample_obj, tmp_path):
    session.run("object Crate")
    counts, vertices = session.faces()
    normals, face_of = face_normals(counts, vertices, session.positions())
    facing = normals[:, 0] > 0.99
    assert 0 < facing.sum() < len(counts)
    mask = facing[face_of]
    session.set_uv_selection(mask)
    before = session.uvs()
    session.press("Invert/H")
    after = session.uvs()
    assert not np.array_equal(before[mask], after[mask])
    np.testing.assert_array_equal(before[~mask], after[~mask])
    (tmp_path / "python").mkdir()
    session.save(tmp_path / "python" / "out.obj")

    corner_of = np.arange(len(vertices)) - np.concatenate(([0], np.cumsum(counts)[:-1]))[face_of]
    picked = " ".join(f"{f}:{c}" for f, c in zip(face_of[mask], corner_of[mask]))
    (tmp_path / "cli").mkdir()
    done = run_cli(cli, str(sample_obj), "-c",
                   f"object Crate; select uv none; select uv {picked}; press Invert/H; print uv",
                   "-o", str(tmp_path / "cli" / "out.obj"), settings=tmp_path / "cli.xml")
    assert done.returncode == 0, done.stderr
    expected = printed_uvs(done.stdout)
    assert len(expected) == len(after)
    for i, (f, c) in enumerate(zip(face_of, corner_of)):
        assert tuple(after[i]) == expected[(f, c)], (f, c)
    assert (tmp_path / "python" / "out.obj").read_bytes() == (tmp_path / "cli" / "out.obj").read_bytes()


def test_arrays_list_the_live_faces_in_print_order(session):
    session.run("object Crate; delete face 1")
    counts, vertices = session.faces()
    assert counts.dtype == np.int32 and vertices.dtype == np.int32
    assert counts[1] == 0 and len(vertices) == counts.sum()
    uvs = session.uvs()
    assert uvs.dtype == np.float32 and uvs.shape == (counts.sum(), 2)
    printed = printed_uvs(session.run("print uv"))
    assert [tuple(row) for row in uvs] == list(printed.values())
    assert session.positions().shape[1] == 3
    assert vertices.max() < len(session.positions())

    session.select_uv([(0, 1), (2, 3)])
    selected = session.uv_selection()
    assert selected.dtype == np.bool_ and selected.sum() == 2
    assert selected[1] and selected[counts[0] + 3]  # face 1 has no corners


def test_arrays_of_another_object_by_name_or_index(session):
    by_name = session.uvs("Mask")
    np.testing.assert_array_equal(by_name, session.uvs(1))
    assert session.run("print document").splitlines()[0].endswith("*")  # the current object stays
    with pytest.raises(pavlex.CommandError, match="no object Nothing"):
        session.uvs("Nothing")


def test_set_uvs_is_one_undoable_command_that_saves(session, tmp_path):
    original = session.uvs()
    moved = original + np.float32(0.25)
    session.set_uvs(moved)
    np.testing.assert_array_equal(session.uvs(), moved)
    session.undo()
    np.testing.assert_array_equal(session.uvs(), original)
    session.redo()
    session.save(tmp_path / "moved.obj")
    session.open(tmp_path / "moved.obj")
    np.testing.assert_array_equal(session.uvs(), moved)

    session.set_uvs(original.astype(np.float64))  # rounded to float32 exactly
    np.testing.assert_array_equal(session.uvs(), original)


def test_uv_locks_pin_corners_after_set_uvs(session):
    original = session.uvs()
    session.run("select uv none; select uv 0:0; click Memory/Lock/1 ctrl")
    session.set_uvs(original + np.float32(0.5))
    after = session.uvs()
    np.testing.assert_array_equal(after[0], original[0])
    np.testing.assert_array_equal(after[1:], original[1:] + np.float32(0.5))


def test_set_uv_selection_replaces_the_selection(session):
    session.select_uv("all")
    mask = np.zeros(len(session.uvs()), dtype=bool)
    mask[::3] = True
    session.set_uv_selection(mask)
    np.testing.assert_array_equal(session.uv_selection(), mask)
    session.undo()
    assert session.uv_selection().all()


@pytest.mark.parametrize("make, message", [
    (lambda n: np.zeros((n,), np.float32), r"shape \(24, 2\).*not shape \(24,\)"),
    (lambda n: np.zeros((n + 1, 2), np.float32), r"shape \(24, 2\).*not shape \(25, 2\)"),
    (lambda n: np.zeros((n, 3), np.float32), r"not shape \(24, 3\)"),
    (lambda n: np.zeros((n, 2), np.int32), r"shape \(24, 2\).*not dtype int32"),
    (lambda n: np.full((n, 2), np.nan, np.float32), r"finite.*row 0"),
    (lambda n: "not an array", r"shape \(24, 2\)"),
])
def test_set_uvs_refuses_wrong_arrays_and_changes_nothing(session, make, message):
    before = session.uvs()
    assert len(before) == 24  # the Crate: six quads
    with pytest.raises(ValueError, match=message):
        session.set_uvs(make(len(before)))
    np.testing.assert_array_equal(session.uvs(), before)
    # No step was recorded: the one undo takes back the open itself.
    session.undo()
    with pytest.raises(pavlex.CommandError, match="no object|no current object"):
        session.uvs()


@pytest.mark.parametrize("mask, message", [
    (np.ones(24, np.uint8), r"shape \(24,\).*not dtype uint8"),
    (np.ones((24, 1), bool), r"shape \(24,\).*not shape \(24, 1\)"),
    (np.ones(23, bool), r"not shape \(23,\)"),
])
def test_set_uv_selection_refuses_wrong_masks(session, mask, message):
    with pytest.raises(ValueError, match=message):
        session.set_uv_selection(mask)
    assert not session.uv_selection().any()
