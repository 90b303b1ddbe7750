#!/usr/bin/python3
"""A real SMTP server (Debian's aiosmtpd) on 127.0.0.1 for the duration of one command.

Usage:
    /usr/bin/python3 tests/support/servers/smtp_fixture.py [options] -- COMMAND [ARG...]

Starts aiosmtpd on a free 127.0.0.1 port, runs COMMAND with these variables added
to its environment, stops the server and exits with COMMAND's exit code:

    TULVO_TEST_SMTP_PORT        the server's port
    TULVO_TEST_SMTP_SPOOL       the spool folder as a Windows path through Wine's
                                Z: drive, ending in a backslash (Z:\\tmp\\...\\)
    TULVO_TEST_SMTP_SPOOL_UNIX  the same folder as a Linux path, ending in "/"

For a Windows program under CTest, give the emulator yourself (CTest adds it only
to commands that are targets):

    smtp_fixture.py -- scripts/wine-run build/.../some_test.exe --gtest_brief=1

The server greets with "220", answers HELO with "250" and then offers AUTH LOGIN
(plain text, no TLS) as if EHLO had been used. Options:

    --password PW             AUTH LOGIN succeeds for any login with password PW
                              (default "secret") and fails with 535 otherwise
    --refuse-sender ADDR      MAIL FROM:ADDR gets "550 5.1.8 sender refused" (repeatable)
    --refuse-recipient ADDR   RCPT TO:ADDR gets "550 5.1.1 recipient refused" (repeatable)
    --spool DIR               keep the spool in DIR (default: a temporary folder,
                              removed afterwards)

Spool: every accepted message, numbered from 1 in arrival order, as two files:

    N.eml       the message bytes exactly as the client sent them, transparency
                undone: everything between the DATA reply and the final ".\\r\\n"
                line (so it ends with the CR LF that precedes the dot)
    N.envelope  written after N.eml; text lines "from SENDER", one "to RECIPIENT"
                per recipient, and "auth LOGIN" when the session authenticated
                (no such line otherwise); addresses exactly as given in the commands
"""

import argparse
import logging
import os
import socket
import subprocess
import sys
import tempfile
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult

# aiosmtpd gives a server 5 s to come up, too little when every core is busy.
READY_SECONDS = 60

def free_loopback_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wine_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def text(value):
    if isinstance(value, bytes):
        return value.decode("utf-8", errors="surrogateescape")
    return value


class SpoolingHandler:
    def __init__(self, spool, refused_senders, refused_recipients):
        self.spool = spool
        self.refused_senders = set(refused_senders)
        self.refused_recipients = set(refused_recipients)
        self.count = 0
        self.lock = threading.Lock()

    async def handle_HELO(self, server, session, envelope, hostname):
        # aiosmtpd allows AUTH only in an extended session; the client says HELO.
        session.host_name = hostname
        session.extended_smtp = True
        return "250 {}".format(server.hostname)

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if address in self.refused_senders:
            return "550 5.1.8 sender refused"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused_recipients:
            return "550 5.1.1 recipient refused"
        envelope.rcpt_tos.append(address)
        envelope.rcpt_options.extend(rcpt_options)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            number = self.count
        base = os.path.join(self.spool, str(number))
        with open(base + ".eml", "wb") as eml:
            eml.write(envelope.original_content)
        lines = ["from " + text(envelope.mail_from)]
        lines += ["to " + text(rcpt) for rcpt in envelope.rcpt_tos]
        if session.authenticated and session.auth_data is not None:
            lines.append("auth " + text(session.auth_data.login))
        with open(base + ".envelope.part", "w", encoding="utf-8", errors="surrogateescape", newline="\n") as env:
            env.write("\n".join(lines) + "\n")
        os.replace(base + ".envelope.part", base + ".envelope")
        return "250 OK queued as {}".format(number)


def password_checker(password):
    expected = password.encode("utf-8", errors="surrogateescape")

    def authenticate(server, session, envelope, mechanism, auth_data):
        if mechanism != "LOGIN" or auth_data.password != expected:
            return AuthResult(success=False, handled=False)
        return AuthResult(success=True, auth_data=auth_data)

    return authenticate


def run(options):
    spool = options.spool or tempfile.mkdtemp(prefix="tulvo-smtp-spool-")
    os.makedirs(spool, exist_ok=True)
    spool = os.path.abspath(spool) + "/"
    handler = SpoolingHandler(spool, options.refuse_sender, options.refuse_recipient)
    port = free_loopback_port()
    controller = Controller(handler, hostname="127.0.0.1", port=port,
                            authenticator=password_checker(options.password),
                            auth_require_tls=False, ready_timeout=READY_SECONDS)
    controller.start()
    try:
        env = dict(os.environ)
        env["TULVO_TEST_SMTP_PORT"] = str(port)
        env["TULVO_TEST_SMTP_SPOOL"] = wine_path(spool)
        env["TULVO_TEST_SMTP_SPOOL_UNIX"] = spool
        return subprocess.call(options.command, env=env)
    finally:
        controller.stop()
        if not options.spool:
            for name in os.listdir(spool):
                os.remove(os.path.join(spool, name))
            os.rmdir(spool)


def main():
    # aiosmtpd logs a warning about its own legacy field on every successful login.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser(description="Run a command against aiosmtpd on 127.0.0.1.")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--refuse-sender", action="append", default=[])
    parser.add_argument("--refuse-recipient", action="append", default=[])
    parser.add_argument("--spool")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    if options.command and options.command[0] == "--":
        options.command = options.command[1:]
    if not options.command:
        parser.error("no command given after --")
    sys.exit(run(options))


if __name__ == "__main__":
    main()
