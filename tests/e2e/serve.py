#!/usr/bin/env python3
"""A loopback web server for the end-to-end tests: serve.py FOLDER PORTFILE LOG

Serves FOLDER on 127.0.0.1 at a free port, writes the port to PORTFILE once
it listens and the path of every request to LOG. It ends by itself after
three minutes, in case the test that started it could not stop it.
"""
import functools
import os
import http.server
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass

    def send_head(self):
        with open(LOG, "a") as log:
            log.write(self.path + "\n")
        return super().send_head()


FOLDER, PORTFILE, LOG = sys.argv[1:4]
server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(Handler, directory=FOLDER))
threading.Timer(180, server.shutdown).start()
with open(PORTFILE + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(PORTFILE + ".tmp", PORTFILE)
server.serve_forever()
