"""The pavlex prompt at a real terminal: a pseudo-terminal drives the real
program as a person would, with keys, and reads what it draws.

Every read waits for the text it expects (generous time on a loaded
machine) instead of sleeping.

    /usr/bin/python3 prompt_test.py PAVLEX_BINARY
"""
import fcntl
import os
import pty
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import termios
import time
import unittest

PAVLEX = None
WAIT = 60.0  # seconds for any one expected text

UP = "\x1b[A"
CTRL_D = "\x04"
CTRL_R = "\x12"
CTRL_U = "\x15"


class Prompt:
    """One pavlex at a terminal."""

    def __init__(self, scratch, *args):
        self.output = b""
        self.master, slave = pty.openpty()
        # Wide enough that no line wraps.
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 200, 0, 0))
        env = dict(os.environ, TERM="xterm", HOME=scratch, XDG_CONFIG_HOME=scratch, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        self.process = subprocess.Popen(
            [PAVLEX, "--settings", os.path.join(scratch, "settings.xml"), *args],
            stdin=slave, stdout=slave, stderr=slave, env=env, close_fds=True, start_new_session=True)
        os.close(slave)

    def send(self, keys):
        """Types `keys` once the line editor reads keys one by one: typed
        earlier, the terminal's own line discipline would take them."""
        deadline = time.monotonic() + WAIT
        while termios.tcgetattr(self.master)[3] & termios.ICANON:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise AssertionError("the prompt never read keys: %r" % self.output.decode(errors="replace"))
            time.sleep(0.01)
        os.write(self.master, keys.encode())

    def expect(self, text):
        """Reads until `text` appears after what earlier expects consumed."""
        wanted = text.encode()
        deadline = time.monotonic() + WAIT
        while wanted not in self.output:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError("no %r in %r" % (text, self.output.decode(errors="replace")))
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                try:
                    chunk = os.read(self.master, 65536)
                except OSError:  # the program closed the terminal
                    chunk = b""
                if not chunk:
                    raise AssertionError("ended without %r in %r" % (text, self.output.decode(errors="replace")))
                self.output += chunk
        self.output = self.output[self.output.index(wanted) + len(wanted):]

    def finish(self):
        """Ends the prompt with Ctrl-D; answers the exit status."""
        self.send(CTRL_D)
        try:
            status = self.process.wait(timeout=WAIT)
        finally:
            if self.process.poll() is None:
                self.process.kill()
                self.process.wait()
            os.close(self.master)
        return status


class PromptTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="pavlex-prompt-")
        self.history = os.path.join(self.scratch, "history")

    def tearDown(self):
        shutil.rmtree(self.scratch, ignore_errors=True)

    def history_lines(self):
        with open(self.history, encoding="utf-8") as file:
            return file.read().splitlines()

    def test_up_arrow_recalls_a_command_of_the_previous_run(self):
        prompt = Prompt(self.scratch)
        prompt.expect("pavlex> ")
        prompt.send("print document\r")
        prompt.expect("material 2 Paint")
        self.assertEqual(prompt.finish(), 0)

        prompt = Prompt(self.scratch)
        prompt.expect("pavlex> ")
        prompt.send(UP + "\r")
        prompt.expect("material 2 Paint")
        self.assertEqual(prompt.finish(), 0)
        # The recalled line is not kept twice.
        self.assertEqual(self.history_lines(), ["print document"])

    def test_tab_completes_command_names_and_widget_paths_with_blanks(self):
        prompt = Prompt(self.scratch)
        prompt.expect("pavlex> ")
        prompt.send("pri\tdocument\r")
        prompt.expect("material 2 Paint")
        # Several Grab paths: the first Tab writes what they share, the second lists them.
        prompt.send("press Gr\t\t")
        prompt.expect("Grab/Gather")
        prompt.expect("Grab/Sew")
        prompt.send(CTRL_U + "press UV\tF\t\r")
        prompt.expect("pavlex> ")
        prompt.send("quit\r")
        prompt.process.wait(timeout=WAIT)
        os.close(prompt.master)
        self.assertEqual(self.history_lines(), ["print document", 'press "UV -> Object/F"', "quit"])

    def test_tab_completes_the_paths_of_the_open_dialog(self):
        prompt = Prompt(self.scratch)
        prompt.expect("pavlex> ")
        prompt.send("press Manipulate/Numerical\r")
        prompt.expect("Numerical Manipulate> ")
        prompt.send("set piv\t0.25\r")
        prompt.expect("Numerical Manipulate> ")
        prompt.send("press Canc\t\r")
        prompt.expect("pavlex> ")
        self.assertEqual(prompt.finish(), 0)
        self.assertEqual(self.history_lines(),
                         ["press Manipulate/Numerical", 'set "pivot U" 0.25', "press Cancel"])

    def test_ctrl_r_finds_an_earlier_command(self):
        with open(self.history, "w", encoding="utf-8") as file:
            file.write("print document\nselect uv all\nprint object\n")
        prompt = Prompt(self.scratch)
        prompt.expect("pavlex> ")
        prompt.send(CTRL_R + "docu")
        prompt.expect("print document")
        prompt.send("\r")
        prompt.expect("material 2 Paint")
        self.assertEqual(prompt.finish(), 0)
        self.assertEqual(self.history_lines()[-1], "print document")

    def test_many_models_show_a_progress_bar_on_a_terminal_only(self):
        models = []
        for name in ("a.obj", "b.obj"):
            models.append(os.path.join(self.scratch, name))
            subprocess.run([PAVLEX, "--settings", os.path.join(self.scratch, "settings.xml"), "-o", models[-1]],
                           check=True, timeout=WAIT, stdin=subprocess.DEVNULL)
        terminal = Prompt(self.scratch, "-j", "2", *models, "-c", "print document")
        terminal.expect("2/2 files, ")
        self.assertEqual(terminal.process.wait(timeout=WAIT), 0)
        os.close(terminal.master)
        run = subprocess.run([PAVLEX, "--settings", os.path.join(self.scratch, "settings.xml"), "-j", "2", *models,
                              "-c", "print document"], capture_output=True,
                             timeout=WAIT, stdin=subprocess.DEVNULL)
        self.assertEqual((run.returncode, run.stderr), (0, b""))

    def test_piped_input_reads_as_before_without_prompt_or_history(self):
        env = dict(os.environ, HOME=self.scratch, XDG_CONFIG_HOME=self.scratch)
        settings = os.path.join(self.scratch, "settings.xml")
        run = subprocess.run([PAVLEX, "--settings", settings, "-s", "-"], input=b"print document\n",
                             capture_output=True, env=env, timeout=WAIT)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertTrue(run.stdout.startswith(b"object 0 Crate *\n"), run.stdout)
        self.assertNotIn(b"pavlex>", run.stdout)
        # Without commands and without a terminal, the model is only opened.
        run = subprocess.run([PAVLEX, "--settings", settings], input=b"print document\n",
                             capture_output=True, env=env, timeout=WAIT)
        self.assertEqual((run.returncode, run.stdout), (0, b""))
        self.assertFalse(os.path.exists(self.history))


if __name__ == "__main__":
    PAVLEX = sys.argv.pop(1)
    unittest.main(verbosity=2)
