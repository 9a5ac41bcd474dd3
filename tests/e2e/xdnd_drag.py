#!/usr/bin/env python3
"""Drags files onto the X window under a screen point, as a file manager does:
the XDND protocol (version 5) with a "text/uri-list" of file:// addresses.

    xdnd_drag.py X Y FILE...

Only libX11 through ctypes, so it needs no package beyond the X server's own
libraries. Exits 0 once the target has taken the drop (XdndFinished), 1 when
it refused it or did not answer within ten seconds.
"""
import ctypes
import ctypes.util
import os
import select
import sys
import time
import urllib.parse

x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
Window = Atom = Time = ctypes.c_ulong


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom), ("time", Time)]


class SelectionNotify(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", Time)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage), ("request", SelectionRequest),
                ("notify", SelectionNotify), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE, SELECTION_REQUEST, SELECTION_NOTIFY = 33, 30, 31
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.restype = Window
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = Atom
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XCreateSimpleWindow.restype = Window
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, Atom, Window, Time]
x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                    ctypes.POINTER(Window)]
x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x.XChangeProperty.argtypes = [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int, ctypes.c_int,
                              ctypes.c_char_p, ctypes.c_int]
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                 Atom, ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_void_p)]
x.XFree.argtypes = [ctypes.c_void_p]
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    px, py = int(sys.argv[1]), int(sys.argv[2])
    files = sys.argv[3:]
    uris = "".join("file://" + urllib.parse.quote(os.path.abspath(f)) + "\r\n" for f in files).encode()

    dpy = x.XOpenDisplay(None)
    if not dpy:
        sys.exit("no X display")
    root = x.XDefaultRootWindow(dpy)
    atom = lambda name: x.XInternAtom(dpy, name.encode(), 0)
    aware, enter, position, status, drop, finished = (atom(n) for n in (
        "XdndAware", "XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndFinished"))
    selection, copy, uri_list = atom("XdndSelection"), atom("XdndActionCopy"), atom("text/uri-list")

    source = x.XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0)
    x.XSetSelectionOwner(dpy, selection, source, 0)

    # The innermost window under the point that says it takes drops.
    target, window = 0, root
    while window:
        kind, fmt, n, rest, data = Atom(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if x.XGetWindowProperty(dpy, window, aware, 0, 1, 0, 0, ctypes.byref(kind), ctypes.byref(fmt),
                                ctypes.byref(n), ctypes.byref(rest), ctypes.byref(data)) == 0 and data.value:
            if n.value:
                target = window
            x.XFree(data)
        cx, cy, child = ctypes.c_int(), ctypes.c_int(), Window()
        x.XTranslateCoordinates(dpy, root, window, px, py, ctypes.byref(cx), ctypes.byref(cy), ctypes.byref(child))
        window = child.value
    if not target:
        sys.exit("no window under %d,%d takes drops" % (px, py))

    def send(message_type, *values):
        event = Event()
        event.client.type = CLIENT_MESSAGE
        event.client.window = target
        event.client.message_type = message_type
        event.client.format = 32
        for i, v in enumerate(values):
            event.client.l[i] = v
        x.XSendEvent(dpy, target, 0, 0, ctypes.byref(event))
        x.XFlush(dpy)

    send(enter, source, 5 << 24, uri_list, 0, 0)
    send(position, source, 0, (px << 16) | py, 0, copy)
    dropped = False
    deadline = time.monotonic() + 10
    event = Event()
    while time.monotonic() < deadline:
        if not x.XPending(dpy):
            select.select([x.XConnectionNumber(dpy)], [], [], 0.1)
            continue
        x.XNextEvent(dpy, ctypes.byref(event))
        if event.type == SELECTION_REQUEST:
            request = event.request
            reply = Event()
            reply.notify.type = SELECTION_NOTIFY
            reply.notify.requestor = request.requestor
            reply.notify.selection = request.selection
            reply.notify.target = request.target
            reply.notify.time = request.time
            reply.notify.property = 0
            if request.target == uri_list:
                x.XChangeProperty(dpy, request.requestor, request.property, uri_list, 8, 0, uris, len(uris))
                reply.notify.property = request.property
            x.XSendEvent(dpy, request.requestor, 0, 0, ctypes.byref(reply))
            x.XFlush(dpy)
        elif event.type == CLIENT_MESSAGE and event.client.message_type == status and not dropped:
            if not event.client.l[1] & 1:
                sys.exit("the window refused the drag")
            send(drop, source, 0, 0)
            dropped = True
        elif event.type == CLIENT_MESSAGE and event.client.message_type == finished:
            return
    sys.exit("no answer to the drag")


main()
