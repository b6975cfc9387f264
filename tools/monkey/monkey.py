#!/usr/bin/env python3
"""Random input for one program of the suite in its own X server (see scripts/monkey.sh).

Starts Xvfb, logger-sim and the program from a scratch program directory, then sends
random clicks, drags, wheel turns, keys, typed text and close requests drawn from the
seed, switching the simulator's faults now and then. After every input event the
program must answer a _NET_WM_PING (the request a window manager sends to find a hung
window): Qt answers it from its event loop, so a blocked event loop leaves it unanswered.
At the end every window is asked to close and the program must exit with status 0.

Exit status 0: no fault found; 1: a fault, with the seed, the last events, the
program's output and a screenshot in --out.
"""
import argparse
import collections
import os
import pwd
import random
import select
import signal
import subprocess
import sys
import time

from Xlib import X, display as xdisplay, error as xerror, protocol

PROBE_SECONDS = 10
SANITIZER_MARKS = (b"Sanitizer", b"runtime error:")

# Keys pressed alone or with Alt/Ctrl/Shift: letters (menu mnemonics), digits and the
# keys that move focus, edit, confirm or cancel.
KEYS = ([chr(c) for c in range(ord("a"), ord("z") + 1)] + [str(d) for d in range(10)] +
        ["Return", "KP_Enter", "Escape", "Tab", "ISO_Left_Tab", "space", "BackSpace", "Delete",
         "Insert", "Home", "End", "Prior", "Next", "Up", "Down", "Left", "Right", "minus",
         "plus", "period", "comma", "Menu"] + ["F%d" % n for n in range(1, 13)])
MODIFIERS = [[], [], [], [], ["alt"], ["alt"], ["ctrl"], ["shift"], ["ctrl", "shift"],
             ["alt", "shift"], ["ctrl", "alt"]]
TEXTS = ["0", "1", "42", "-17", "3.14159", "1e999", "-1e999", "1e-999", "-0", "0.0", "NaN",
         "inf", "-inf", "65535", "65536", "2147483647", "2147483648", "-2147483649",
         "99999999999999999999", "0x1F", "1,5", "1.5.5", "+", "-", ".", "e", " ", "abc",
         "CH1", "Velkaro", "\u00c4\u00d6\u00dc\u20ac", "../x", "*.dlg", "4711", "4711.cfg", "config.cfg"]
# The simulator's faults, one at a time; "hang-up" ends the simulator until the next switch.
FAULTS = ["", "", "", "silence", "noise", "wrong-echo", "short-live", "no-end-mark",
          "even-end-run", "overlong", "wrong-handshake", "hang-up"]


class Failure(Exception):
    pass


def random_text(rng, file_names):
    kind = rng.random()
    if kind < 0.15 and file_names:
        return rng.choice(file_names)
    if kind < 0.6:
        return rng.choice(TEXTS)
    if kind < 0.8:
        return "".join(rng.choice("0123456789.-+e") for _ in range(rng.randint(1, 40)))
    alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-_"
    return "".join(rng.choice(alphabet) for _ in range(rng.randint(100, 400)))


def make_damaged_logs(dlg):
    """Logs a user may meet on a disk: cut short, empty, with impossible header fields."""
    with open(os.path.join(dlg, "demo.dlg"), "rb") as f:
        demo = f.read()
    garbage = bytes(random.Random(0).randrange(256) for _ in range(5000))

    def header(count=None, mask=None, freq=None, config=None):
        b = bytearray(demo)
        if count is not None:
            b[0:4] = count.to_bytes(4, "little", signed=True)
        if mask is not None:
            b[4:6] = mask.to_bytes(2, "little")
        if freq is not None:
            b[6] = freq
        if config is not None:
            b[7:11] = config.to_bytes(4, "little", signed=True)
        return bytes(b)

    files = {
        "empty.dlg": b"", "cut-header.dlg": demo[:7], "cut-half.dlg": demo[: len(demo) // 2],
        "garbage.dlg": garbage, "count-huge.dlg": header(count=0x7FFFFFFF)[:4096],
        "count-negative.dlg": header(count=-5), "count-zero.dlg": header(count=0),
        "freq-zero.dlg": header(freq=0), "freq-255.dlg": header(freq=255),
        "mask-none.dlg": header(mask=0), "mask-all.dlg": header(mask=0xFFFF),
        "config-unknown.dlg": header(config=-1), "garbage.dlt": garbage,
    }
    dlt = os.path.join(dlg, "demo.dlt")
    if os.path.exists(dlt):
        with open(dlt, "rb") as f:
            image = f.read()
        files["cut-half.dlt"] = image[: len(image) // 2]
        files["last-download.dlt"] = image[:10]
    for name, data in files.items():
        with open(os.path.join(dlg, name), "wb") as f:
            f.write(data)


class Monkey:
    def __init__(self, a):
        self.a = a
        self.prog_dir = os.path.abspath(a.program_dir)
        self.rng = random.Random("%s/%s" % (a.seed, a.program))
        self.events = collections.deque(maxlen=50)
        self.sent = 0
        self.serial = 0
        self.start = time.monotonic()
        self.procs = {}
        self.log_offset, self.log_tail = 0, b""
        self.fault_file = os.path.join(self.prog_dir, "sim-faults.txt")
        self.link = os.path.join(self.prog_dir, "logger-sim.tty")
        # Typed into a file dialog, these open the logs (damaged ones too) and configurations.
        self.file_names = sorted(os.listdir(os.path.join(self.prog_dir, "dlg")) +
                                 os.listdir(os.path.join(self.prog_dir, "cfg")))
        self.user = []
        if os.geteuid() == 0:
            # A random click may delete or overwrite files through a file dialog: as
            # root, the programs run as nobody, who may write only the scratch directory.
            self.user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"]
        os.makedirs(a.out, exist_ok=True)
        self.trace = open(os.path.join(a.out, a.program + ".events"), "w", buffering=1)  # every event

    # ---- processes ----------------------------------------------------------------

    def env(self):
        e = dict(os.environ)
        home = os.path.join(self.prog_dir, "home")
        run = os.path.join(self.prog_dir, "run")
        e.update(DISPLAY=self.display_name, QT_QPA_PLATFORM="xcb", HOME=home, XDG_RUNTIME_DIR=run,
                 ASAN_OPTIONS="detect_leaks=0:abort_on_error=0",
                 UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1")
        return e

    def spawn(self, name, argv, log):
        out = open(os.path.join(self.a.out, log), "ab")
        self.procs[name] = subprocess.Popen(self.user + argv, cwd=self.prog_dir, env=self.env(),
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        out.close()
        return self.procs[name]

    def start_xvfb(self):
        r, w = os.pipe()
        self.procs["xvfb"] = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
            pass_fds=[w], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise Failure("Xvfb did not start")
            number += chunk
        os.close(r)
        self.display_name = ":" + number.decode().strip()
        self.d = xdisplay.Display(self.display_name)
        self.d.set_error_handler(lambda *args: None)  # a window may vanish at any moment
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.StructureNotifyMask)  # ping answers land here
        atom = lambda n: self.d.intern_atom(n)
        self.WM_PROTOCOLS, self.WM_DELETE, self.PING = atom("WM_PROTOCOLS"), atom("WM_DELETE_WINDOW"), atom("_NET_WM_PING")
        self.PID, self.NAME, self.UTF8 = atom("_NET_WM_PID"), atom("_NET_WM_NAME"), atom("UTF8_STRING")

    def start_sim(self):
        with open(self.fault_file, "a"):
            pass
        self.spawn("sim", [os.path.join(self.prog_dir, "logger-sim"), "--link", self.link, "--channels",
                           self.a.channels, "--rate", "10", "--seconds", "600", "--fault-file", self.fault_file],
                   "logger-sim.log")
        for _ in range(100):
            if os.path.exists(self.link):
                return
            time.sleep(0.1)
        raise Failure("logger-sim did not make its pty")

    def start_program(self):
        self.log_offset = os.path.getsize(self.program_log) if os.path.exists(self.program_log) else 0
        self.log_tail = b""
        p = self.spawn("program", [os.path.join(self.prog_dir, self.a.program)], self.a.program + ".log")
        self.note("start %s (pid %d)" % (self.a.program, p.pid))
        deadline = time.monotonic() + 60
        while not self.windows():
            self.check_program()
            if time.monotonic() > deadline:
                raise Failure("%s showed no window within 60 s" % self.a.program)
            time.sleep(0.2)

    @property
    def program_log(self):
        return os.path.join(self.a.out, self.a.program + ".log")

    def stop_all(self):
        for name in ("program", "sim", "xvfb"):
            p = self.procs.get(name)
            if p and p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def sanitizer_report(self):
        # Read on from where the last look stopped, keeping a little of the old end so
        # that a mark written in two pieces is still seen.
        with open(self.program_log, "rb") as f:
            f.seek(self.log_offset)
            text = self.log_tail + f.read()
        self.log_offset += len(text) - len(self.log_tail)
        self.log_tail = text[-64:]
        return any(m in text for m in SANITIZER_MARKS)

    def check_program(self):
        """Raises on a sanitizer report or an unclean exit; returns the exit status or None."""
        status = self.procs["program"].poll()
        if self.sanitizer_report():
            raise Failure("the sanitizers reported an error (see %s)" % self.program_log)
        if status not in (None, 0):
            raise Failure("%s ended with status %d" % (self.a.program, status))
        sim = self.procs.get("sim")
        if sim and sim.returncode is None and sim.poll() not in (None, 0):
            raise Failure("logger-sim ended with status %d" % sim.returncode)
        return status

    # ---- X --------------------------------------------------------------------------

    def windows(self, mapped=True):
        """The program's top-level windows, bottom to top: (window, x, y, w, h, popup)."""
        pid = self.procs["program"].pid
        found = []
        try:
            children = self.root.query_tree().children
        except xerror.XError:
            return found
        for w in children:
            try:
                p = w.get_full_property(self.PID, X.AnyPropertyType)
                if not p or p.value[0] != pid:
                    continue
                attrs = w.get_attributes()
                if mapped and attrs.map_state != X.IsViewable:
                    continue
                g = w.get_geometry()
                found.append((w, g.x, g.y, g.width, g.height, bool(attrs.override_redirect)))
            except xerror.XError:
                continue
        return found

    def title(self, w):
        try:
            p = w.get_full_property(self.NAME, self.UTF8)
            return p.value.decode("utf-8", "replace") if p else "?"
        except xerror.XError:
            return "?"

    def client_message(self, w, data):
        ev = protocol.event.ClientMessage(window=w, client_type=self.WM_PROTOCOLS, data=(32, data))
        w.send_event(ev, event_mask=0)

    def probe(self):
        """True when the program answered a ping within PROBE_SECONDS, False when it
        exited first. Every window is pinged (again each second), so a window closing
        under the ping does not count as a hang."""
        self.serial += 1
        deadline = time.monotonic() + PROBE_SECONDS
        resend = 0.0
        while time.monotonic() < deadline:
            if self.procs["program"].poll() is not None:
                return False
            if time.monotonic() >= resend:
                for w, *_ in self.windows(mapped=False):
                    self.client_message(w, [self.PING, self.serial, w.id, 0, 0])
                self.d.flush()
                resend = time.monotonic() + 1.0
            select.select([self.d.fileno()], [], [], 0.1)
            while self.d.pending_events():
                e = self.d.next_event()
                if (e.type == X.ClientMessage and e.client_type == self.WM_PROTOCOLS and
                        e.data[1][0] == self.PING and e.data[1][1] == self.serial):
                    return True
        raise Failure("%s stopped answering: no answer to a ping within %d s" % (self.a.program, PROBE_SECONDS))

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.display_name, "-window", "root", path],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=False)

    # ---- input ----------------------------------------------------------------------

    def note(self, what):
        line = "%8.2f s  %s" % (time.monotonic() - self.start, what)
        self.events.append(line)
        self.trace.write(line + "\n")

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(x) for x in args], env=self.env(), check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    def point(self, win):
        w, x, y, width, height, _ = win
        if self.rng.random() < 0.2:  # the menu bar and the top of dialogs, more often
            return x + self.rng.randrange(max(1, width)), y + self.rng.randrange(max(1, min(height, 40)))
        return x + self.rng.randrange(max(1, width)), y + self.rng.randrange(max(1, height))

    def act(self):
        rng = self.rng
        wins = self.windows()
        if not wins:
            self.note("no window to act on")
            time.sleep(0.2)
            return
        win = wins[-1] if rng.random() < 0.6 else rng.choice(wins)
        title = self.title(win[0])
        r = rng.random()
        if r < 0.34:
            x, y = self.point(win)
            button = rng.choice([1, 1, 1, 1, 1, 1, 3, 3, 2])
            repeat = 2 if rng.random() < 0.1 else 1
            self.note("click %d x%d at %d,%d in '%s'" % (button, repeat, x, y, title))
            self.xdotool("mousemove", x, y, "click", "--repeat", repeat, button)
        elif r < 0.42:
            (x1, y1), (x2, y2) = self.point(win), self.point(win)
            self.note("drag %d,%d -> %d,%d in '%s'" % (x1, y1, x2, y2, title))
            self.xdotool("mousemove", x1, y1, "mousedown", 1, "mousemove", (x1 + x2) // 2, (y1 + y2) // 2,
                         "mousemove", x2, y2, "mouseup", 1)
        elif r < 0.50:
            x, y = self.point(win)
            button, repeat = rng.choice([4, 5, 6, 7]), rng.randint(1, 6)
            self.note("wheel %d x%d at %d,%d in '%s'" % (button, repeat, x, y, title))
            self.xdotool("mousemove", x, y, "click", "--repeat", repeat, "--delay", 10, button)
        elif r < 0.78:
            combo = "+".join(rng.choice(MODIFIERS) + [rng.choice(KEYS)])
            self.note("key %s" % combo)
            self.xdotool("key", combo)
        elif r < 0.95:
            text = random_text(rng, self.file_names)
            self.note("type %r" % (text if len(text) < 60 else text[:40] + "... (%d chars)" % len(text)))
            self.xdotool("type", "--delay", 2, "--", text)
            if rng.random() < 0.3:
                self.note("key Return")
                self.xdotool("key", "Return")
        elif r < 0.97:
            closable = [w for w in wins if not w[5]]
            if closable:
                target = rng.choice(closable)
                self.note("close request to '%s'" % self.title(target[0]))
                self.client_message(target[0], [self.WM_DELETE, X.CurrentTime, 0, 0, 0])
                self.d.flush()
        else:
            pause = rng.uniform(0.1, 1.0)  # timers and the serial line get their turn
            self.note("pause %.1f s" % pause)
            time.sleep(pause)
        self.sent += 1

    def switch_fault(self):
        fault = self.rng.choice(FAULTS)
        sim = self.procs.get("sim")
        if sim is None or sim.poll() is not None:
            self.start_sim()
        if fault == "hang-up":
            self.note("simulator hangs up")
            self.procs["sim"].send_signal(signal.SIGTERM)
            self.procs["sim"].wait(10)
            return
        self.note("simulator fault: %s" % (fault or "none"))
        with open(self.fault_file + ".new", "w") as f:
            f.write(fault + "\n")
        os.replace(self.fault_file + ".new", self.fault_file)

    # ---- the run --------------------------------------------------------------------

    def close_all(self):
        """Close requests to every window, topmost first, until the program exits."""
        self.note("final close")
        unchanged, last, escapes = 0, None, 0
        deadline = time.monotonic() + 120
        while self.procs["program"].poll() is None and time.monotonic() < deadline:
            wins = self.windows()
            if any(w[5] for w in wins) and escapes < 3:  # an open menu takes the keyboard
                escapes += 1
                self.note("key Escape (a menu is open)")
                self.xdotool("key", "Escape")
                self.probe()
                continue
            normal = [w for w in wins if not w[5]]
            if not normal:
                time.sleep(0.2)
                continue
            ids = sorted(w[0].id for w in normal)
            unchanged = unchanged + 1 if ids == last else 0
            last = ids
            if unchanged >= 3 * len(normal) + 2:
                titles = ", ".join("'%s'" % self.title(w[0]) for w in normal)
                raise Failure("a window cannot be closed: %s stay(s) open after %d close requests" % (titles, unchanged))
            target = normal[-1 - unchanged % len(normal)]
            self.note("close request to '%s'" % self.title(target[0]))
            self.client_message(target[0], [self.WM_DELETE, X.CurrentTime, 0, 0, 0])
            self.d.flush()
            self.probe()
        try:
            self.procs["program"].wait(20)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not quit after its windows were closed" % self.a.program)
        self.check_program()

    def run(self):
        self.start_xvfb()
        self.start_sim()
        self.start_program()
        self.start = time.monotonic()
        next_switch = self.rng.randint(20, 150)
        while time.monotonic() - self.start < self.a.seconds:
            if self.sent >= next_switch:
                self.switch_fault()
                next_switch = self.sent + self.rng.randint(20, 150)
            self.act()
            if not self.probe():
                self.check_program()  # raises unless the program quit cleanly
                self.note("%s quit; started again" % self.a.program)
                self.start_program()
            self.check_program()
        if self.procs["sim"].poll() is not None:
            self.start_sim()
        self.close_all()

    def report(self, why):
        stamp = os.path.join(self.a.out, "%s-seed%s" % (self.a.program, self.a.seed))
        if hasattr(self, "d"):
            self.screenshot(stamp + ".png")
        with open(stamp + ".events", "w") as f:
            f.write("\n".join(self.events) + "\n")
        print("%s: FAULT after %d events: %s" % (self.a.program, self.sent, why), file=sys.stderr)
        print("  last events (%s.events):" % stamp, file=sys.stderr)
        for line in list(self.events)[-50:]:
            print("    " + line, file=sys.stderr)
        print("  screenshot: %s.png; output: %s" % (stamp, self.program_log), file=sys.stderr)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--program", required=True, choices=["logger", "meter"])
    p.add_argument("--program-dir", required=True, help="scratch program directory (writable)")
    p.add_argument("--channels", required=True, help="the simulator's logged channels")
    p.add_argument("--seconds", type=float, default=60)
    p.add_argument("--seed", required=True)
    p.add_argument("--out", required=True, help="where reports and program output go")
    p.add_argument("--damaged-logs", action="store_true", help="put damaged logs beside the demo log")
    a = p.parse_args()
    if a.damaged_logs:
        make_damaged_logs(os.path.join(a.program_dir, "dlg"))
    if os.geteuid() == 0:
        nobody = pwd.getpwnam("nobody")
        for top, dirs, files in os.walk(a.program_dir):
            for name in [top] + [os.path.join(top, n) for n in dirs + files]:
                os.lchown(name, nobody.pw_uid, nobody.pw_gid)
    for sub in ("home", "run"):
        os.makedirs(os.path.join(a.program_dir, sub), mode=0o700, exist_ok=True)
        if os.geteuid() == 0:
            os.chown(os.path.join(a.program_dir, sub), nobody.pw_uid, nobody.pw_gid)
    m = Monkey(a)
    status = 0
    try:
        m.run()
        print("%s: %d events in %.0f s, seed %s: no fault" % (a.program, m.sent, a.seconds, a.seed))
    except Failure as why:
        m.report(why)
        status = 1
    finally:
        m.stop_all()
    return status


if __name__ == "__main__":
    sys.exit(main())
