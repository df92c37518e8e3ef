"""The one exception of the package and the status check every call goes through."""


class TivornError(Exception):
    """A failed library call; str() is the library's own message when it gave one."""

    def __init__(self, message, status):
        super().__init__(message)
        self.status = status


def check(status, last_error, what):
    """Raises TivornError for a status other than 0, with the handle's last error text."""
    if status == 0:
        return
    text = last_error() if last_error else None
    text = text.decode("utf-8", "replace") if text else ""
    raise TivornError(text or f"{what} failed (status {status})", status)
