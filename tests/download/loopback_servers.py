#!/usr/bin/python3
"""Loopback archive servers for the download tests. Prints "PORT <n>" once listening.

  ftp ROOT    anonymous read-only FTP server over ROOT (pyftpdlib)
  cut ROOT    the same, but it closes the session when a file is asked for
  http ROOT   plain HTTP server over ROOT
  drop        accepts connections and closes them at once, after an FTP greeting
  hang        accepts connections and never answers
"""
import functools
import http.server
import socket
import sys


def announce(port):
    print("PORT %d" % port, flush=True)


def serve_ftp(root, cut=False):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root)
    class CutHandler(FTPHandler):
        def ftp_RETR(self, file):
            self.close()
    handler = CutHandler if cut else FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    announce(server.socket.getsockname()[1])
    server.serve_forever()


def serve_http(root):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=root))
    announce(server.server_address[1])
    server.serve_forever()


def serve_socket(mode):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    announce(listener.getsockname()[1])
    held = []
    while True:
        connection, _ = listener.accept()
        if mode == "drop":
            connection.sendall(b"220 ready\r\n")
            connection.close()
        else:
            held.append(connection)


if __name__ == "__main__":
    mode = sys.argv[1]
    if mode == "ftp":
        serve_ftp(sys.argv[2])
    elif mode == "cut":
        serve_ftp(sys.argv[2], cut=True)
    elif mode == "http":
        serve_http(sys.argv[2])
    else:
        serve_socket(mode)
