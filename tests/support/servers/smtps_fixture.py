#!/usr/bin/python3
"""SMTP over TLS on 127.0.0.1 for the duration of one command: implicit TLS on port
465, STARTTLS on port 587.

Usage:
    /usr/bin/python3 tests/support/servers/smtps_fixture.py -- COMMAND [ARG...]

Makes a test CA and installs it into the Wine prefix's trusted roots (HKCU, never
the host's store; removed again at the end), a second CA that is not installed,
and server certificates for "localhost". Then runs COMMAND with

    TULVO_TEST_TLS_CONTROL   a 127.0.0.1 port that switches what listens on 465

On the control port, one line per request, one line per answer:

    serve MODE     -> "ready" once MODE listens on 465
    received       -> what a scripted server received, or the commands aiosmtpd was
                      given (one verb a line), as JSON {"received": ...}
    message        -> the last delivered message, parsed by Python's email module,
                      as one line of JSON (UTF-8)

Modes: trusted (aiosmtpd, password "secret", spooling), untrusted-leaf (a CA the
prefix does not trust, leaf only), untrusted-chain (that CA sent along),
wrong-name (trusted CA, certificate for mail.example.org), close-in-handshake,
plain (a plain SMTP greeting on 465), tls1.1 (a server capped at TLS 1.1), split
(an accepting server whose every reply comes in two TLS records), refuse-ehlo
(an accepting server that answers EHLO with 500), slow (an accepting server that
takes SLOW_REPLY_SECONDS over its answers to EHLO, AUTH and the end of the message).

Modes on 587, all aiosmtpd: starttls (STARTTLS required before anything else,
AUTH only after it), starttls-client-certificate (the same, asking the client for
a certificate it may leave out), starttls-untrusted (a certificate of the CA the
prefix does not trust), no-starttls (plain, offering AUTH but no STARTTLS).
"""

import email
import email.policy
import json
import logging
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult

PORT = 465
SUBMISSION_PORT = 587
# Longer than the clients' old second of patience; the test runs its clock fast.
SLOW_REPLY_SECONDS = 0.4
# aiosmtpd gives a server 5 s to come up, too little when every core is busy.
READY_SECONDS = 60
HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "..", "scripts", "wine-run")
ROOTS_KEY = r"HKCU\Software\Microsoft\SystemCertificates\Root\Certificates"


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Certificates:
    def __init__(self, folder):
        self.folder = folder
        self.trusted_ca = self.ca("trusted")
        self.other_ca = self.ca("untrusted")
        self.localhost = self.leaf("localhost", self.trusted_ca)
        self.other_name = self.leaf("mail.example.org", self.trusted_ca)
        self.untrusted = self.leaf("localhost", self.other_ca)

    def path(self, name):
        return os.path.join(self.folder, name)

    def ca(self, name):
        key, cert = self.path(name + "-ca.key"), self.path(name + "-ca.pem")
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "2",
                "-subj", "/CN=tulvo test CA " + name, "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        return key, cert

    def leaf(self, host, ca):
        base = self.path(host + "-by-" + os.path.basename(ca[1]))
        ext = base + ".ext"
        with open(ext, "w") as f:
            f.write("subjectAltName=DNS:{}\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n".format(host))
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", base + ".key", "-out", base + ".csr",
                "-subj", "/CN=" + host)
        openssl("x509", "-req", "-in", base + ".csr", "-CA", ca[1], "-CAkey", ca[0], "-CAcreateserial",
                "-out", base + ".pem", "-days", "2", "-extfile", ext)
        return base + ".key", base + ".pem"

    def context(self, leaf, chain_ca=None, maximum=None, ask_client=False):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        if ask_client:
            # A CertificateRequest in the handshake; a client may answer with none.
            context.verify_mode = ssl.CERT_OPTIONAL
            context.load_verify_locations(cafile=self.trusted_ca[1])
        certfile = leaf[1]
        if chain_ca:
            certfile = leaf[1] + ".chain"
            with open(certfile, "w") as out:
                out.write(open(leaf[1]).read() + open(chain_ca[1]).read())
        context.load_cert_chain(certfile, leaf[0])
        if maximum:
            context.minimum_version = ssl.TLSVersion.TLSv1
            context.maximum_version = maximum
            context.set_ciphers("DEFAULT:@SECLEVEL=0")
        return context


class TrustedRoot:
    """The test CA in the Wine prefix's current-user root store, as a registry blob."""

    def __init__(self, cert_pem):
        der = subprocess.run(["openssl", "x509", "-in", cert_pem, "-outform", "DER"], check=True,
                             stdout=subprocess.PIPE).stdout
        import hashlib
        self.key = ROOTS_KEY + "\\" + hashlib.sha1(der).hexdigest().upper()
        blob = (0x20).to_bytes(4, "little") + (1).to_bytes(4, "little") + len(der).to_bytes(4, "little") + der
        reg = cert_pem + ".reg"
        with open(reg, "w", encoding="utf-16") as f:
            f.write("Windows Registry Editor Version 5.00\r\n\r\n[{}]\r\n\"Blob\"=hex:{}\r\n".format(
                self.key.replace("HKCU", "HKEY_CURRENT_USER"), ",".join("%02x" % b for b in blob)))
        subprocess.run([WINE_RUN, "reg", "import", reg], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def remove(self):
        subprocess.run([WINE_RUN, "reg", "delete", self.key, "/f"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


class Handler:
    """aiosmtpd's handler: keeps the last message with its envelope, and the verbs of
    the commands the server was given."""

    def __init__(self):
        self.last = None
        self.commands = []

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        date = message["Date"].datetime if message["Date"] else None
        self.last = {
            "envelope_from": envelope.mail_from, "envelope_to": envelope.rcpt_tos,
            "auth": session.auth_data.login.decode() if session.authenticated else "",
            "from": str(message["From"]), "to": str(message["To"]), "subject": str(message["Subject"]),
            "body": message.get_content(), "content_type": message.get_content_type(),
            "charset": message.get_content_charset(), "message_id": str(message["Message-ID"]),
            "date_offset_minutes": int(date.utcoffset().total_seconds() // 60) if date else None,
            "date_age_seconds": time.time() - date.timestamp() if date else None,
            "local_offset_minutes": time.localtime().tm_gmtoff // 60,
            "raw_header_lines_ok": all(len(l) <= 78 for l in envelope.original_content.split(b"\r\n")),
        }
        return "250 OK queued"


def authenticate(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=mechanism == "LOGIN" and auth_data.password == b"secret", auth_data=auth_data)


class RecordingSMTP(SMTP):
    """aiosmtpd's server, noting the commands that a client must not send too early."""

    async def smtp_EHLO(self, arg):
        self.event_handler.commands.append("EHLO")
        return await super().smtp_EHLO(arg)

    async def smtp_STARTTLS(self, arg):
        self.event_handler.commands.append("STARTTLS")
        return await super().smtp_STARTTLS(arg)

    async def smtp_AUTH(self, arg):
        self.event_handler.commands.append("AUTH")
        return await super().smtp_AUTH(arg)

    async def smtp_MAIL(self, arg):
        self.event_handler.commands.append("MAIL")
        return await super().smtp_MAIL(arg)


class RecordingController(Controller):
    def factory(self):
        return RecordingSMTP(self.handler, **self.SMTP_kwargs)


def listener():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", PORT))
    s.listen(4)
    return s


class ScriptedServer:
    """Serves odd TLS (or plain) peers on 465, one connection at a time, on a thread."""

    def __init__(self, mode, certificates):
        self.mode = mode
        self.certificates = certificates
        self.received = b""
        self.socket = listener()
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def stop(self):
        self.socket.shutdown(socket.SHUT_RDWR)
        self.socket.close()
        self.thread.join(5)

    def serve(self):
        while True:
            try:
                client, _ = self.socket.accept()
            except OSError:
                return
            client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            client.settimeout(10)
            try:
                self.serve_one(client)
            except (OSError, ssl.SSLError):
                pass
            finally:
                client.close()

    def serve_one(self, client):
        c = self.certificates
        if self.mode == "close-in-handshake":
            client.recv(4096)
            return
        if self.mode == "plain":
            client.sendall(b"220 plain smtp\r\n")
            self.received += client.recv(4096)
            client.sendall(b"500 what\r\n")
            return
        contexts = {
            "untrusted-leaf": c.context(c.untrusted),
            "untrusted-chain": c.context(c.untrusted, chain_ca=c.other_ca),
            "wrong-name": c.context(c.other_name),
            "tls1.1": c.context(c.localhost, maximum=ssl.TLSVersion.TLSv1_1),
            "split": c.context(c.localhost),
            "refuse-ehlo": c.context(c.localhost),
            "slow": c.context(c.localhost),
        }
        tls = contexts[self.mode].wrap_socket(client, server_side=True)
        self.converse(tls)

    def reply(self, tls, line, slow=False):
        if slow and self.mode == "slow":
            time.sleep(SLOW_REPLY_SECONDS)
        if self.mode == "split":
            # Two records per reply, the cut inside the reply code.
            tls.sendall(line[:2])
            tls.sendall(line[2:])
        else:
            tls.sendall(line)

    def converse(self, tls):
        self.reply(tls, b"220-scripted\r\n220 ready\r\n")
        pending = b""
        in_data = False
        while True:
            chunk = tls.recv(4096)
            if not chunk:
                return
            self.received += chunk
            pending += chunk
            while True:
                end = pending.find(b"\r\n.\r\n") + 5 if in_data else pending.find(b"\r\n") + 2
                if end < (5 if in_data else 2):
                    break
                line, pending = pending[:end], pending[end:]
                if in_data:
                    in_data = False
                    self.reply(tls, b"250 queued\r\n", slow=True)
                elif line.startswith(b"EHLO") and self.mode == "refuse-ehlo":
                    self.reply(tls, b"500 no EHLO here\r\n")
                elif line.startswith(b"EHLO"):
                    self.reply(tls, b"250-localhost\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n", slow=True)
                elif line.startswith(b"DATA"):
                    in_data = True
                    self.reply(tls, b"354 go ahead\r\n")
                elif line.startswith(b"QUIT"):
                    self.reply(tls, b"221 bye\r\n")
                    return
                elif line.startswith(b"AUTH"):
                    self.reply(tls, b"334 VXNlcm5hbWU6\r\n", slow=True)
                elif self.received.count(b"AUTH LOGIN") and line.strip() in (b"dXNlcg==",):
                    self.reply(tls, b"334 UGFzc3dvcmQ6\r\n")
                elif line.strip() == b"c2VjcmV0":
                    self.reply(tls, b"235 ok\r\n")
                else:
                    self.reply(tls, b"250 ok\r\n")


class Fixture:
    def __init__(self, certificates):
        self.certificates = certificates
        self.handler = Handler()
        self.current = None

    def serve(self, mode):
        if self.current:
            self.current.stop()
            self.current = None
        self.handler.last = None
        self.handler.commands = []
        c = self.certificates
        on_587 = {
            "starttls": dict(tls_context=c.context(c.localhost), require_starttls=True),
            "starttls-client-certificate": dict(tls_context=c.context(c.localhost, ask_client=True),
                                                require_starttls=True),
            "starttls-untrusted": dict(tls_context=c.context(c.untrusted), require_starttls=True),
            "no-starttls": dict(auth_require_tls=False),
        }
        if mode in on_587:
            controller = RecordingController(self.handler, hostname="127.0.0.1", port=SUBMISSION_PORT,
                                             authenticator=authenticate, ready_timeout=READY_SECONDS,
                                             **on_587[mode])
            controller.start()
            self.current = controller
        elif mode == "trusted":
            controller = Controller(self.handler, hostname="127.0.0.1", port=PORT,
                                    ssl_context=self.certificates.context(self.certificates.localhost),
                                    authenticator=authenticate, auth_require_tls=False,
                                    ready_timeout=READY_SECONDS)
            controller.start()
            self.current = controller
        else:
            self.current = ScriptedServer(mode, self.certificates)

    def stop(self):
        if self.current:
            self.current.stop()

    def control(self, connection):
        try:
            self.answer_requests(connection)
        except ConnectionError:
            pass  # the client went away without reading its answer

    def answer_requests(self, connection):
        with connection, connection.makefile("rwb") as stream:
            for request in stream:
                words = request.decode().split()
                if words[:1] == ["serve"]:
                    self.serve(words[1])
                    answer = "ready"
                elif words[:1] == ["received"]:
                    current = self.current
                    received = getattr(current, "received", None)
                    if received is None:
                        received = "".join(verb + "\n" for verb in self.handler.commands).encode()
                    answer = json.dumps({"received": received.decode("latin-1")})
                else:
                    answer = json.dumps(self.handler.last, ensure_ascii=False)
                stream.write(answer.encode() + b"\n")
                stream.flush()


def main():
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    command = sys.argv[1:]
    if command[:1] == ["--"]:
        command = command[1:]
    with tempfile.TemporaryDirectory(prefix="tulvo-smtps-") as folder:
        certificates = Certificates(folder)
        root = TrustedRoot(certificates.trusted_ca[1])
        fixture = Fixture(certificates)
        control = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        control.bind(("127.0.0.1", 0))
        control.listen(1)

        def accept_control():
            while True:
                try:
                    connection, _ = control.accept()
                except OSError:
                    return
                threading.Thread(target=fixture.control, args=(connection,), daemon=True).start()

        threading.Thread(target=accept_control, daemon=True).start()
        try:
            env = dict(os.environ, TULVO_TEST_TLS_CONTROL=str(control.getsockname()[1]))
            status = subprocess.call(command, env=env)
        finally:
            control.close()
            fixture.stop()
            root.remove()
    sys.exit(status)


if __name__ == "__main__":
    main()
