#!/usr/bin/python3
"""FTP server for end-to-end tests, with switches that make it misbehave.

Listens on 127.0.0.1 on an ephemeral port and prints "PORT <n>" once ready.
Every received command is appended to --log as "<CMD> <arg>" (or just "<CMD>"
when it has no argument), with the password of PASS replaced by "***".
Every STOR is also appended to --stor-log as the absolute path inside the
served folder it resolved to (e.g. "/08_12_05/7/file.jpg"), so tests can check
where uploads went even when the client changed directories first.
"""

import argparse
import logging
import os
import signal
import socket
import sys

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

WRITE_PERMISSIONS = "elradfmwMT"


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True, help="served folder (created if missing)")
    parser.add_argument("--user", default="user")
    parser.add_argument("--password", default="password")
    parser.add_argument("--log", help="append every received command here")
    parser.add_argument("--stor-log", help="append the resolved path of every STOR here")
    parser.add_argument("--refuse-login", action="store_true", help="every login fails with 530")
    parser.add_argument("--fail-stor", type=int, default=0, metavar="N",
                        help="answer the Nth STOR with --fail-code and store nothing")
    parser.add_argument("--fail-code", type=int, default=550, choices=(550, 552))
    parser.add_argument("--drop-stor", type=int, default=0, metavar="N",
                        help="close both connections in the middle of the Nth STOR")
    parser.add_argument("--stall-stor", type=int, default=0, metavar="N",
                        help="never answer the Nth STOR (the client waits for its reply)")
    parser.add_argument("--stall", action="store_true",
                        help="accept connections but never answer, not even the greeting")
    return parser.parse_args()


def open_log(path):
    if not path:
        return None
    return open(path, "a", encoding="utf-8", buffering=1)


def append_line(log, line):
    if log is not None:
        log.write(line + "\n")
        log.flush()


def announce_port(port):
    print("PORT %d" % port, flush=True)


def exit_on_sigterm():
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(0))


class RefusingAuthorizer(DummyAuthorizer):
    def validate_authentication(self, username, password, handler):
        raise AuthenticationFailed("Login refused.")


class DroppingDTPHandler(DTPHandler):
    """Data channel that can hang up on the client once bytes start arriving."""

    timeout = 30

    def handle_read(self):
        if self.cmd_channel.drop_current_stor:
            # Keep only the first kilobyte, so that what stays on disk is a file cut off
            # even when the whole file would have come in one read.
            self.ac_in_buffer_size = 1024
        DTPHandler.handle_read(self)
        if self.receive and self.cmd_channel.drop_current_stor:
            # Closing the command channel also closes this data channel, and
            # without a final reply, just like a server that crashed mid-upload.
            self.cmd_channel.close()

    # The base class binds this alias to its own handle_read, so it must be
    # rebound or the override above never runs.
    handle_read_event = handle_read


class FaultyFTPHandler(FTPHandler):
    dtp_handler = DroppingDTPHandler
    # Failed logins are normally answered after a 3 s penalty; tests want it now.
    auth_failed_timeout = 0
    timeout = 30
    banner = "Folivox test FTP server ready."

    command_log = None
    stor_log = None
    fail_stor = 0
    fail_code = 550
    drop_stor = 0
    stall_stor = 0
    # Counted across all connections for the server's whole life.
    stor_count = 0

    def __init__(self, *args, **kwargs):
        FTPHandler.__init__(self, *args, **kwargs)
        self.drop_current_stor = False

    def pre_process_command(self, line, cmd, arg):
        logged_arg = "***" if cmd == "PASS" else arg
        append_line(self.command_log, "%s %s" % (cmd, logged_arg) if logged_arg else cmd)
        FTPHandler.pre_process_command(self, line, cmd, arg)

    def ftp_STOR(self, file, mode="w"):
        if "a" in mode:
            return FTPHandler.ftp_STOR(self, file, mode)
        cls = FaultyFTPHandler
        cls.stor_count += 1
        append_line(self.stor_log, self.fs.fs2ftp(file))
        if cls.stor_count == self.stall_stor:
            return  # no reply, no data connection: the client waits
        if cls.stor_count == self.fail_stor:
            self.respond("%d Refusing to store this file (test fault)." % self.fail_code)
            return
        self.drop_current_stor = cls.stor_count == self.drop_stor
        return FTPHandler.ftp_STOR(self, file, mode)


def serve_stalled():
    """Accepts connections and holds them open without ever sending a byte."""
    listener = socket.create_server(("127.0.0.1", 0))
    announce_port(listener.getsockname()[1])
    held = []
    try:
        while True:
            connection, _ = listener.accept()
            held.append(connection)
    finally:
        for connection in held:
            connection.close()
        listener.close()


def serve_ftp(args):
    os.makedirs(args.root, exist_ok=True)
    authorizer = RefusingAuthorizer() if args.refuse_login else DummyAuthorizer()
    authorizer.add_user(args.user, args.password, os.path.abspath(args.root),
                        perm=WRITE_PERMISSIONS)

    handler = FaultyFTPHandler
    handler.authorizer = authorizer
    handler.command_log = open_log(args.log)
    handler.stor_log = open_log(args.stor_log)
    handler.fail_stor = args.fail_stor
    handler.fail_code = args.fail_code
    handler.drop_stor = args.drop_stor
    handler.stall_stor = args.stall_stor

    server = FTPServer(("127.0.0.1", 0), handler)
    announce_port(server.socket.getsockname()[1])
    server.serve_forever(handle_exit=True)


def main():
    args = parse_args()
    # Only real trouble belongs on stderr; pyftpdlib logs every command otherwise.
    logging.basicConfig(level=logging.ERROR)
    exit_on_sigterm()
    if args.stall:
        serve_stalled()
    else:
        serve_ftp(args)


if __name__ == "__main__":
    main()
