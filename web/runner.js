// Runs the paiview command in one instance of its WebAssembly module: logs are files
// in Emscripten's in-memory file system, argv goes to the command's main(), and its
// standard output and error are caught as bytes. The page's worker inlines this file;
// under Node the tests and the benchmark require it (web/node-run.js).
'use strict';

// A growing buffer of bytes.
class ByteSink {
  constructor() {
    this.bytes = new Uint8Array(1 << 16);
    this.length = 0;
  }

  push(byte) {
    this.pushBytes([byte & 0xff]);
  }

  pushBytes(bytes) {
    if (this.length + bytes.length > this.bytes.length) {
      const more = new Uint8Array(Math.max(this.bytes.length * 2, this.length + bytes.length));
      more.set(this.bytes.subarray(0, this.length));
      this.bytes = more;
    }
    this.bytes.set(bytes, this.length);
    this.length += bytes.length;
  }

  take() {
    const taken = this.bytes.slice(0, this.length);
    this.length = 0;
    return taken;
  }
}

// Resolves to {FS, ENV, run(args, sinks)}: run returns {code, out, err}, out and err as
// bytes. sinks may give other {pushBytes(bytes)} for out or err for one run; what they
// took is theirs, and that part of the result is empty.
// wasm: the module's bytes (paiview.wasm), so that it fetches nothing. env: variables the
// command sees, set before it starts (its C library reads the environment once, then).
async function startPaiview(createPaiview, wasm, env = {}) {
  const out = new ByteSink();
  const err = new ByteSink();
  let sinks = {};
  const module = await createPaiview({
    wasmBinary: wasm,
    noInitialRun: true,
    preRun: [(started) => Object.assign(started.ENV, env)],
    stdout: (byte) => byte !== null && (sinks.out || out).pushBytes([byte]),
    stderr: (byte) => byte !== null && (sinks.err || err).pushBytes([byte]),
  });
  // Emscripten hands a device its writes a byte at a time; the command's standard output
  // and error take each write whole instead (a list of 100,000 rows is 140 MB).
  for (const [fd, sink] of [[1, () => sinks.out || out], [2, () => sinks.err || err]]) {
    const stream = module.FS.getStream(fd);
    stream.stream_ops = {
      ...stream.stream_ops,
      write: (_, buffer, offset, length) => {
        sink().pushBytes(buffer.subarray(offset, offset + length));
        return length;
      },
    };
  }
  return {
    FS: module.FS,
    ENV: module.ENV,
    run(args, runSinks = {}) {
      sinks = runSinks;
      try {
        const code = module.callMain(args);
        module._fflush(0);
        return { code, out: out.take(), err: err.take() };
      } finally {
        sinks = {};
      }
    },
  };
}

// The bytes of a module written as base64 (the page holds it so).
function base64Bytes(text) {
  const chars = atob(text);
  const bytes = new Uint8Array(chars.length);
  for (let i = 0; i < chars.length; ++i) {
    bytes[i] = chars.charCodeAt(i);
  }
  return bytes;
}

if (typeof module !== 'undefined') {
  module.exports = { startPaiview };
}
