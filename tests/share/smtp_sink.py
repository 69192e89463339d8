# A mail server for the tests: accepts every message on 127.0.0.1:PORT and
# writes a summary of the last one, parts decoded, to OUT as JSON. Prints
# READY once it listens and stops when its standard input closes.
import base64
import email
import json
import os
import sys
from email import policy

from aiosmtpd.controller import Controller

out, port = sys.argv[1], int(sys.argv[2])


class Handler:
    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.content, policy=policy.default)
        parts = []
        for part in message.walk():
            if part.is_multipart():
                continue
            payload = part.get_payload(decode=True) or b""
            parts.append({
                "type": part.get_content_type(),
                "filename": part.get_filename() or "",
                "data": base64.b64encode(payload).decode(),
            })
        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "subject": str(message["subject"]),
            "to": str(message["to"]),
            "content_type": message.get_content_type(),
            "parts": parts,
        }
        with open(out + ".tmp", "w") as f:
            json.dump(summary, f)
        os.rename(out + ".tmp", out)
        return "250 OK"


controller = Controller(Handler(), hostname="127.0.0.1", port=port)
controller.start()
print("READY", flush=True)
sys.stdin.read()
controller.stop()
