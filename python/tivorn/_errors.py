"""The one exception of the package and the status check every call goes through."""
from typing import Callable, Optional


class TivornError(Exception):
    """A failed library call; str() is the library's own message when it gave one."""

    def __init__(self, message: str, status: int) -> None:
        """message: the library's text; status: the C status (-1 failed, -2 exception, -3 bad argument)."""
        super().__init__(message)
        self.status = status


def check(status: int, last_error: Optional[Callable[[], Optional[bytes]]], what: str) -> None:
    """Raises TivornError for a status other than 0, with the handle's last error text."""
    if status == 0:
        return
    from ._lib import message
    text = message(last_error()) if last_error else ""
    raise TivornError(text or f"{what} failed (status {status})", status)
