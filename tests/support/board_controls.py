"""The board's controls by name (board_controls.txt beside this file) for the Python harnesses."""
import os

LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "board_controls.txt")


def names():
    with open(LIST, encoding="utf-8") as f:
        return [l.strip() for l in f if l.strip() and not l.startswith("#")]


def clear(env):
    """Removes every control from the mapping env (os.environ, say)."""
    for name in names():
        env.pop(name, None)
