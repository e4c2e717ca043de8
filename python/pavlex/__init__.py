"""Pavlex UV tools from Python: see help(pavlex.Session)."""

from ._pavlex import CommandError, Session, __doc__, __version__

__all__ = ["CommandError", "Session", "__version__"]
