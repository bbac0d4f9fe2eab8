#!/usr/bin/env python3
"""Loopback HTTP test server: serves scripted pages by path and records every request.

  httpserver.py serve --routes FILE --log FILE [--port N] [--port-file FILE]
      Listens on 127.0.0.1:N (0 or absent: a free port, written to --port-file). The routes file
      is re-read on every request, so a scenario may change the pages while the server runs.
      Every request is appended to the log as one JSON line:
        {"request_line": "GET /a HTTP/1.1", "headers": ["Host: ...", ...], "body_b64": "..."}
      (the header lines exactly as received, in order, without their CR LF).
  httpserver.py route FILE PATH [--status N] [--body TEXT | --body-file F | --body-hex HEX]
                      [--header 'Name: value']... [--never-answer] [--raw-file F] [--delay S]
      Adds or replaces the page for PATH in the routes file. --never-answer holds the connection
      open without answering; --raw-file sends that file's bytes as the whole response and
      closes. A path without a route gets 404 with an empty body.
  httpserver.py requests LOG [--field request_line|headers|body] [--index I]
      Prints the recorded requests (all, or the I-th from 0; negative counts from the end).
"""
import argparse
import base64
import http.server
import json
import os
import socketserver
import sys
import threading
import time


class Recorder:
    """Wraps the connection's input file and keeps the raw lines read from it."""

    def __init__(self, f):
        self.f = f
        self.lines = []

    def readline(self, *a):
        line = self.f.readline(*a)
        self.lines.append(line)
        return line

    def read(self, *a):
        return self.f.read(*a)

    def __getattr__(self, name):
        return getattr(self.f, name)


def load_routes(path):
    try:
        with open(path, "rb") as f:
            return json.loads(f.read() or b"{}")
    except (OSError, ValueError):
        return {}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VantrelTest/1.0"
    def version_string(self):
        return self.server_version

    def setup(self):
        super().setup()
        self.rfile = Recorder(self.rfile)

    def log_message(self, fmt, *args):
        pass

    def handle_one_request(self):
        self.rfile.lines = []
        super().handle_one_request()

    def _record(self, body):
        raw = [l.decode("latin-1").rstrip("\r\n") for l in self.rfile.lines]
        entry = {
            "request_line": raw[0] if raw else "",
            "headers": [l for l in raw[1:] if l != ""],
            "body_b64": base64.b64encode(body).decode(),
        }
        with self.server.log_lock, open(self.server.log_path, "a") as f:
            f.write(json.dumps(entry) + "\n")

    def _handle(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self._record(body)
        path = self.path
        if path.startswith("http://"):
            path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
        route = load_routes(self.server.routes_path).get(path)
        if route is None:
            route = load_routes(self.server.routes_path).get(path.split("?")[0])
        if route is None:
            route = {"status": 404, "body_b64": ""}
        if route.get("delay"):
            time.sleep(float(route["delay"]))
        if route.get("never_answer"):
            while not self.server.stopping.wait(1):
                pass
            self.close_connection = True
            return
        if route.get("raw_b64") is not None:
            self.wfile.write(base64.b64decode(route["raw_b64"]))
            self.wfile.flush()
            self.close_connection = True
            return
        data = base64.b64decode(route.get("body_b64", ""))
        self.send_response(int(route.get("status", 200)))
        names = set()
        for h in route.get("headers", []):
            name, _, value = h.partition(":")
            names.add(name.strip().lower())
            self.send_header(name.strip(), value.strip())
        if "content-length" not in names:
            self.send_header("Content-Length", str(len(data)))
        if "content-type" not in names:
            self.send_header("Content-Type", "text/plain")
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    do_GET = do_POST = do_PUT = do_HEAD = do_DELETE = do_OPTIONS = _handle


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(args):
    srv = Server(("127.0.0.1", args.port), Handler)
    srv.routes_path = args.routes
    srv.log_path = args.log
    srv.log_lock = threading.Lock()
    srv.stopping = threading.Event()
    open(args.log, "a").close()
    if not os.path.exists(args.routes):
        with open(args.routes, "w") as f:
            f.write("{}")
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(srv.server_address[1]) + "\n")
        os.replace(tmp, args.port_file)
    try:
        srv.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        srv.stopping.set()
        srv.server_close()


def route(args):
    routes = load_routes(args.file)
    r = {"status": args.status, "headers": args.header or []}
    if args.body_file:
        with open(args.body_file, "rb") as f:
            body = f.read()
    elif args.body_hex:
        body = bytes.fromhex(args.body_hex)
    else:
        body = (args.body or "").encode("utf-8", "surrogateescape")
    r["body_b64"] = base64.b64encode(body).decode()
    if args.never_answer:
        r["never_answer"] = True
    if args.delay:
        r["delay"] = args.delay
    if args.raw_file:
        with open(args.raw_file, "rb") as f:
            r["raw_b64"] = base64.b64encode(f.read()).decode()
    routes[args.path] = r
    tmp = args.file + ".tmp"
    with open(tmp, "w") as f:
        json.dump(routes, f)
    os.replace(tmp, args.file)


def requests(args):
    try:
        with open(args.log) as f:
            entries = [json.loads(l) for l in f if l.strip()]
    except OSError:
        entries = []
    if args.index is not None:
        entries = entries[args.index:][:1] if entries else []
    out = sys.stdout.buffer
    for i, e in enumerate(entries):
        body = base64.b64decode(e["body_b64"])
        if args.field == "request_line":
            out.write(e["request_line"].encode("latin-1") + b"\n")
        elif args.field == "headers":
            out.write("".join(h + "\n" for h in e["headers"]).encode("latin-1"))
        elif args.field == "body":
            out.write(body)
        else:
            out.write(f"=== request {i}\n{e['request_line']}\n".encode("latin-1"))
            out.write("".join(h + "\n" for h in e["headers"]).encode("latin-1"))
            out.write(b"\n" + body + (b"\n" if body else b""))


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    sub = p.add_subparsers(dest="cmd", required=True)
    s = sub.add_parser("serve")
    s.add_argument("--routes", required=True)
    s.add_argument("--log", required=True)
    s.add_argument("--port", type=int, default=0)
    s.add_argument("--port-file")
    r = sub.add_parser("route")
    r.add_argument("file")
    r.add_argument("path")
    r.add_argument("--status", type=int, default=200)
    r.add_argument("--body")
    r.add_argument("--body-file")
    r.add_argument("--body-hex")
    r.add_argument("--header", action="append")
    r.add_argument("--never-answer", action="store_true")
    r.add_argument("--raw-file")
    r.add_argument("--delay", type=float)
    q = sub.add_parser("requests")
    q.add_argument("log")
    q.add_argument("--field", choices=["request_line", "headers", "body"])
    q.add_argument("--index", type=int)
    a = p.parse_args()
    {"serve": serve, "route": route, "requests": requests}[a.cmd](a)


if __name__ == "__main__":
    main()
