#!/usr/bin/env python3
"""A timestamp authority for the signing test (RFC 3161 over HTTP), on the loopback only.

    timestamp_server.py WORK

WORK holds tsa.pem and tsa.key (the authority's certificate and key). Prints the port it
listens on, then answers each POSTed time-stamp query with `openssl ts -reply`, until it is
ended. It serves nothing else and no other address.
"""
import http.server
import os
import subprocess
import sys
import tempfile

work = sys.argv[1]
config = os.path.join(work, "tsa.cnf")
with open(config, "w") as out:
    out.write(f"""[tsa]
default_tsa = test_tsa
[test_tsa]
dir = {work}
serial = $dir/tsa.serial
signer_cert = $dir/tsa.pem
signer_key = $dir/tsa.key
certs = $dir/tsa.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.13762.3
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha1
""")
with open(os.path.join(work, "tsa.serial"), "w") as out:
    out.write("01\n")


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.TemporaryDirectory(dir=work) as scratch:
            query_file = os.path.join(scratch, "query.tsq")
            reply_file = os.path.join(scratch, "reply.tsr")
            with open(query_file, "wb") as out:
                out.write(query)
            done = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile",
                                   query_file, "-out", reply_file], capture_output=True)
            if done.returncode != 0:
                sys.stderr.write(done.stderr.decode(errors="replace"))
                self.send_error(500)
                return
            with open(reply_file, "rb") as reply:
                body = reply.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        sys.stderr.write(format % args + "\n")


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
