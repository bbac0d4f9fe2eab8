"""End-to-end fixtures for scenarios written in Python (tests/e2e/*.py); the same services as
lib.sh. e2e.cmake puts this directory on PYTHONPATH.

    from vantrel_e2e import Session
    with Session() as s:                      # lock the prefix, make it, start a virtual display
        s.program_dir({"ip.ini": b"127.0.0.1"})
        s.start_program()
        wid = s.wait_window("  Vantrel", 10)
        s.screenshot("main")
        addr = s.nshost_create("phone")       # namespace test host (root; else skip)
        s.nshost("silent", "phone")
        http = s.http_start(port="update")    # loopback server on the program's update port
        http.route("/vtrq.txt", body=b"...")
        http.requests()                       # [{"request_line", "headers", "body"}]

Leaving the block stops everything, also on failure. fail(msg) ends the scenario as failed;
skip(msg) exits 77 (a failure with CI=true).
"""
import base64
import fcntl
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

LIB = os.path.dirname(os.path.abspath(__file__))
WINE = os.environ.get("VANTREL_WINE", "/usr/lib/wine/wine64")
WINESERVER = os.environ.get("VANTREL_WINESERVER", "/usr/lib/wine/wineserver")


class Failure(Exception):
    pass


def log(msg):
    name = os.environ.get("E2E_NAME", os.path.splitext(os.path.basename(sys.argv[0]))[0])
    print(f"[{time.strftime('%H:%M:%S')} {name}] {msg}", file=sys.stderr, flush=True)


def fail(msg):
    log("FAIL: " + msg)
    raise SystemExit(1)


def skip(msg):
    if os.environ.get("CI") == "true":
        log("FAIL (CI=true, a skip is not allowed): " + msg)
        raise SystemExit(1)
    log("SKIP: " + msg)
    raise SystemExit(77)


def wait_for(seconds, predicate, interval=0.2):
    """Polls predicate until it returns something true; returns it, or None on timeout."""
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


class HttpServer:
    def __init__(self, session, port):
        self.dir = session.tmp
        self.routes = os.path.join(self.dir, "routes.json")
        self.log = os.path.join(self.dir, "requests.jsonl")
        portfile = os.path.join(self.dir, "http.port")
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(LIB, "httpserver.py"), "serve", "--routes", self.routes,
             "--log", self.log, "--port", str(port), "--port-file", portfile])
        if not wait_for(10, lambda: os.path.exists(portfile)):
            fail("HTTP test server did not start")
        with open(portfile) as f:
            self.port = int(f.read())
        log(f"HTTP test server on 127.0.0.1:{self.port}")

    def route(self, path, body=b"", status=200, headers=(), never_answer=False, raw=None,
              delay=None):
        try:
            with open(self.routes) as f:
                routes = json.load(f)
        except (OSError, ValueError):
            routes = {}
        if isinstance(body, str):
            body = body.encode()
        r = {"status": status, "headers": list(headers), "body_b64": base64.b64encode(body).decode()}
        if never_answer:
            r["never_answer"] = True
        if raw is not None:
            r["raw_b64"] = base64.b64encode(raw).decode()
        if delay:
            r["delay"] = delay
        routes[path] = r
        with open(self.routes + ".tmp", "w") as f:
            json.dump(routes, f)
        os.replace(self.routes + ".tmp", self.routes)

    def requests(self):
        try:
            with open(self.log) as f:
                entries = [json.loads(line) for line in f if line.strip()]
        except OSError:
            return []
        for e in entries:
            e["body"] = base64.b64decode(e.pop("body_b64"))
        return entries

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait()


class Session:
    def __init__(self, screen="1280x1024x24"):
        self.build_dir = os.environ["VANTREL_BUILD_DIR"]
        self.exe = os.environ.get("VANTREL_EXE", os.path.join(self.build_dir, "Vantrel.exe"))
        self.source_dir = os.environ.get("VANTREL_SOURCE_DIR", os.path.dirname(os.path.dirname(LIB)))
        self.update_url = os.environ.get("VANTREL_UPDATE_URL", "")
        self.artifacts = os.environ.get("E2E_ARTIFACTS", os.path.join(self.build_dir, "e2e-artifacts"))
        self.name = os.environ.get("E2E_NAME", os.path.splitext(os.path.basename(sys.argv[0]))[0])
        self.screen = screen
        self.prefix = os.path.join(self.build_dir, "wineprefix")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEARCH="win64",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        VANTREL_WINE_LOCK_HELD="1")
        self.tmp = tempfile.mkdtemp(prefix=f"vantrel-e2e-{self.name}.")
        self.dir = None
        self.program = None
        self.xvfb = None
        self.nshosts = []
        self.servers = []
        self.port_locks = []
        self.lock = None

    # Lifetime -------------------------------------------------------------------------------
    def __enter__(self):
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        # End (and clean up) shortly before CTest's time limit, which would kill without clean-up.
        limit = int(os.environ.get("E2E_TIMEOUT", "0"))
        if limit > 30:
            def near_limit(*_):
                log("time limit near: stopping")
                sys.exit(1)
            signal.signal(signal.SIGALRM, near_limit)
            signal.alarm(limit - 15)
        os.makedirs(self.artifacts, exist_ok=True)
        if not os.path.isfile(self.exe):
            fail(f"no program at {self.exe}")
        self.lock = open(self.prefix + ".lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        r = subprocess.run(["bash", "-c", '. "$1/../../harness/wine-env.sh"; '
                            'vantrel_wine_env "$2"; vantrel_prefix_ensure', "-", LIB, self.build_dir],
                           env=self.env)
        if r.returncode != 0:
            fail("the Wine prefix could not be made")
        self.wineserver_kill()
        self._start_xvfb()
        log(f"display {self.env['DISPLAY']}, prefix {self.prefix}")
        return self

    def __exit__(self, exc_type, exc, tb):
        self.stop_program()
        for s in self.servers:
            s.stop()
        for h in self.nshosts:
            subprocess.run([os.path.join(LIB, "nshost"), "remove", h])
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        failed = exc_type is not None and not (exc_type is SystemExit and exc.code in (0, 77, None))
        if failed and self.dir:
            keep = os.path.join(self.artifacts, self.name + "-program-dir")
            shutil.rmtree(keep, ignore_errors=True)
            shutil.copytree(self.dir, keep)
            log("program directory kept in " + keep)
        shutil.rmtree(self.tmp, ignore_errors=True)
        if self.lock:
            self.lock.close()
        return False

    def _start_xvfb(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", self.screen,
                                      "-nolisten", "tcp", "-noreset"], pass_fds=(w,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number.isdigit():
            fail("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number

    def wineserver_kill(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, capture_output=True)
        subprocess.run([WINESERVER, "-w"], env=self.env, capture_output=True)

    # The program ------------------------------------------------------------------------------
    def program_dir(self, files=None):
        """A fresh program directory with Vantrel.exe; files maps names to bytes/str, or to a path
        (given as os.PathLike) to copy."""
        self.dir = tempfile.mkdtemp(prefix="program.", dir=self.tmp)
        shutil.copy(self.exe, os.path.join(self.dir, "Vantrel.exe"))
        for name, content in (files or {}).items():
            target = os.path.join(self.dir, name)
            if isinstance(content, os.PathLike):
                shutil.copy(content, target)
            else:
                with open(target, "wb") as f:
                    f.write(content.encode() if isinstance(content, str) else content)
        return self.dir

    def start_program(self, *args):
        if not self.dir:
            self.program_dir()
        self.program_log = open(os.path.join(self.tmp, "program.log"), "ab")
        self.program = subprocess.Popen([WINE, "./Vantrel.exe", *args], cwd=self.dir, env=self.env,
                                        stdout=self.program_log, stderr=subprocess.STDOUT)
        log(f"started Vantrel.exe (pid {self.program.pid}) in {self.dir}")
        return self.program

    def running(self):
        return self.program is not None and self.program.poll() is None

    def wait_exit(self, seconds):
        """The program's exit code, or None when it still runs after seconds."""
        try:
            return self.program.wait(seconds)
        except subprocess.TimeoutExpired:
            return None

    def stop_program(self):
        if self.running():
            self.program.terminate()
        if "DISPLAY" in self.env:
            self.wineserver_kill()
        if self.program is not None:
            try:
                self.program.wait(10)
            except subprocess.TimeoutExpired:
                self.program.kill()

    def file(self, name):
        """Bytes of a file in the program directory, or None."""
        try:
            with open(os.path.join(self.dir, name), "rb") as f:
                return f.read()
        except OSError:
            return None

    # The screen -------------------------------------------------------------------------------
    def x(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True)

    def find_windows(self, title, visible_only=False):
        cmd = ["xdotool", "search"] + (["--onlyvisible"] if visible_only else [])
        out = self.x(*cmd, "--name", "^" + re.escape(title).replace("\\ ", " ") + "$").stdout
        return out.split()

    def wait_window(self, title, seconds, visible_only=False):
        ids = wait_for(seconds, lambda: self.find_windows(title, visible_only))
        return ids[0] if ids else None

    def window_visible(self, wid):
        return wid in self.x("xdotool", "search", "--onlyvisible", "--name", ".").stdout.split()

    def key(self, wid, *keys):
        return self.x("xdotool", "key", "--window", wid, *keys).returncode == 0

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name + ".png")
        if self.x("import", "-window", "root", path).returncode == 0:
            log("screenshot " + path)
        return path

    # Test hosts and the HTTP server -----------------------------------------------------------
    def nshost_create(self, name):
        why = subprocess.run([os.path.join(LIB, "nshost"), "check"], capture_output=True, text=True)
        if why.returncode != 0:
            skip(why.stdout.strip())
        self.nshosts.append(name)
        r = subprocess.run([os.path.join(LIB, "nshost"), "create", name], capture_output=True, text=True)
        if r.returncode != 0:
            fail(f"namespace test host {name} could not be made: {r.stderr.strip()}")
        return r.stdout.strip()

    def nshost(self, action, name):
        """action: silent, answer, down, up or remove."""
        subprocess.run([os.path.join(LIB, "nshost"), action, name], check=True)

    def update_port(self):
        m = re.match(r"http://127\.0\.0\.1:(\d+)/", self.update_url)
        return int(m.group(1)) if m else None

    def http_start(self, port=0):
        if port == "update":
            port = self.update_port()
            if port is None:
                skip(f"the program's update address ({self.update_url}) is not on loopback; configure "
                     "with -DVANTREL_UPDATE_URL=http://127.0.0.1:<port>/vtrq.txt (scripts/test does)")
        if port:
            lock = open(os.path.join(tempfile.gettempdir(), f"vantrel-e2e-port-{port}.lock"), "w")
            fcntl.flock(lock, fcntl.LOCK_EX)
            self.port_locks.append(lock)
        server = HttpServer(self, port)
        self.servers.append(server)
        return server
