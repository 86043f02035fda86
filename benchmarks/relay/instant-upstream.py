#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# An OpenAI-compatible chat-completions server that answers at once, for measuring what the
# relay itself adds. Keeps connections alive; prints its port and serves until killed.
import asyncio
import sys

BODY = (b'{"choices":[{"message":{"content":"This sentence has two mistakes."}}],'
        b'"usage":{"prompt_tokens":60,"completion_tokens":8}}')
REPLY = (b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
         + str(len(BODY)).encode() + b"\r\n\r\n" + BODY)


class Upstream(asyncio.Protocol):
    def connection_made(self, transport):
        self.transport = transport
        self.buffer = b""

    def data_received(self, data):
        self.buffer += data
        while True:
            end = self.buffer.find(b"\r\n\r\n")
            if end < 0:
                return
            head = self.buffer[:end].lower()
            length = 0
            for line in head.split(b"\r\n"):
                if line.startswith(b"content-length:"):
                    length = int(line.split(b":", 1)[1])
            if len(self.buffer) < end + 4 + length:
                return
            self.buffer = self.buffer[end + 4 + length:]
            self.transport.write(REPLY)


async def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    server = await asyncio.get_running_loop().create_server(Upstream, "127.0.0.1", port)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()

asyncio.run(main())
