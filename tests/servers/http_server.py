#!/usr/bin/python3
"""HTTP server for end-to-end tests, with switches that make it misbehave.

Listens on 127.0.0.1 on an ephemeral port and prints "PORT <n>" once ready.
Every request is appended to --log as one line, fields separated by tabs:
the raw request line, the Authorization header and the Proxy-Authorization
header, each header being "-" when absent. A request line carrying an absolute
URI means a client used this server as its proxy; such requests are served
from the same root, by the URI's path.
"""

import argparse
import base64
import mimetypes
import os
import posixpath
import signal
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK_SIZE = 64 * 1024


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", help="serve files from this folder")
    parser.add_argument("--body-file", help="answer every GET with this file's bytes")
    parser.add_argument("--status", type=int, default=0,
                        help="answer every request with this status")
    parser.add_argument("--stall", action="store_true",
                        help="read requests but never answer them")
    parser.add_argument("--chunked", action="store_true",
                        help="send bodies in chunks of 64 KiB, without a Content-Length")
    parser.add_argument("--auth", metavar="USER:PASS", help="require HTTP basic authentication")
    parser.add_argument("--log", help="append one line per request here")
    return parser.parse_args()


class TestRequestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "FolivoxTestHTTP/1"

    # Set from the command line before serving.
    root = None
    body_file = None
    status = 0
    stall = False
    chunked = False
    expected_authorization = None
    log = None
    log_lock = threading.Lock()
    stop_stalling = threading.Event()

    def parse_request(self):
        if not BaseHTTPRequestHandler.parse_request(self):
            return False
        self.log_request_line()
        return True

    def log_request_line(self):
        if self.log is None:
            return
        fields = [self.requestline,
                  self.headers.get("Authorization", "-"),
                  self.headers.get("Proxy-Authorization", "-")]
        with self.log_lock:
            self.log.write("\t".join(fields) + "\n")
            self.log.flush()

    def log_message(self, format, *args):
        # Tests read the log file; stderr stays clean for real failures.
        pass

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def answer(self, send_body):
        if self.stall:
            self.stop_stalling.wait()
            self.close_connection = True
            return
        if not self.is_authorized():
            self.send_bytes(401, b"authentication required\n", send_body,
                            extra_headers={"WWW-Authenticate": 'Basic realm="folivox-test"'})
            return
        if self.body_file:
            self.send_file(self.body_file, self.status or 200, send_body)
            return
        if self.status:
            self.send_bytes(self.status, b"status %d\n" % self.status, send_body)
            return
        self.send_from_root(send_body)

    def is_authorized(self):
        if self.expected_authorization is None:
            return True
        return self.headers.get("Authorization") == self.expected_authorization

    def send_from_root(self, send_body):
        path = self.file_in_root()
        if path is None or not os.path.isfile(path):
            self.send_bytes(404, b"not found\n", send_body)
            return
        self.send_file(path, 200, send_body)

    def file_in_root(self):
        """Maps the request's path into the root, refusing anything outside it."""
        if self.root is None:
            return None
        url_path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        relative = posixpath.normpath("/" + url_path).lstrip("/")
        if not relative or relative.startswith(".."):
            return None
        return os.path.join(self.root, relative)

    def send_file(self, path, status, send_body):
        with open(path, "rb") as source:
            body = source.read()
        content_type = mimetypes.guess_type(path)[0] or "application/octet-stream"
        self.send_bytes(status, body, send_body, content_type=content_type)

    def send_bytes(self, status, body, send_body, content_type="text/plain", extra_headers=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if self.chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(len(body)))
        for name, value in (extra_headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if not send_body:
            return
        if not self.chunked:
            self.wfile.write(body)
            return
        for start in range(0, len(body), CHUNK_SIZE):
            chunk = body[start:start + CHUNK_SIZE]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
        self.wfile.write(b"0\r\n\r\n")


def configure_handler(args):
    handler = TestRequestHandler
    handler.root = os.path.abspath(args.root) if args.root else None
    handler.body_file = args.body_file
    handler.status = args.status
    handler.stall = args.stall
    handler.chunked = args.chunked
    if args.auth:
        token = base64.b64encode(args.auth.encode("utf-8")).decode("ascii")
        handler.expected_authorization = "Basic " + token
    if args.log:
        handler.log = open(args.log, "a", encoding="utf-8")
    return handler


def main():
    args = parse_args()
    handler = configure_handler(args)
    server = ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(0))
    print("PORT %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    finally:
        handler.stop_stalling.set()
        server.server_close()


if __name__ == "__main__":
    main()
