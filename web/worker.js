// The command's own thread: the page posts a request, this runs paiview on the logs in
// its in-memory file system and posts back what the page draws. The page never waits
// on it, and stops a long run by ending this worker and starting another.
// Requests are {id, type, ...}; each gets one answer {id, ...} or {id, error}, and a
// run may post {progress: {read, total}} before it.
'use strict';

const LOGS = '/logs';
const OUT = '/out';
const PART = 1 << 22; // bytes of output gathered before they move into a Blob

const utf8 = new TextDecoder('utf-8');
let paiview = null;
// The rows of the last list and search, the newest first, sent a window at a time.
const kept = { list: [], hits: [] };

// Standard error, line by line: the progress line, drawn in place with "\r", becomes
// messages to the page and is kept out of the text.
class ErrorLines {
  constructor() {
    this.line = [];
    this.bytes = [];
  }

  pushBytes(bytes) {
    for (const byte of bytes) {
      this.push(byte);
    }
  }

  push(byte) {
    if (byte === 13 || byte === 10) {
      const text = utf8.decode(new Uint8Array(this.line));
      const progress = /^paiview: (\d+) of (\d+) half-games? read/.exec(text);
      if (progress) {
        postMessage({ progress: { read: Number(progress[1]), total: Number(progress[2]) } });
      } else if (byte === 10) {
        this.bytes.push(...this.line, 10);
      } else if (text.trim() !== '') {
        this.bytes.push(...this.line);
      }
      this.line = [];
    } else {
      this.line.push(byte);
    }
  }

  text() {
    return utf8.decode(new Uint8Array(this.bytes)) + utf8.decode(new Uint8Array(this.line));
  }
}

// Output of any size as a Blob made from parts: no copy of the whole is ever held.
class BlobSink {
  constructor(type) {
    this.type = type;
    this.parts = [];
    this.chunk = new Uint8Array(PART);
    this.length = 0;
  }

  pushBytes(bytes) {
    let from = 0;
    while (from < bytes.length) {
      const n = Math.min(PART - this.length, bytes.length - from);
      this.chunk.set(bytes.subarray(from, from + n), this.length);
      this.length += n;
      from += n;
      if (this.length === PART) {
        this.parts.push(new Blob([this.chunk]));
        this.chunk = new Uint8Array(PART);
        this.length = 0;
      }
    }
  }

  blob() {
    this.parts.push(new Blob([this.chunk.subarray(0, this.length)]));
    return new Blob(this.parts, { type: this.type });
  }
}

function removeTree(path) {
  const fs = paiview.FS;
  if (!fs.analyzePath(path).exists) {
    return;
  }
  if (fs.isDir(fs.stat(path).mode)) {
    for (const name of fs.readdir(path)) {
      if (name !== '.' && name !== '..') {
        removeTree(`${path}/${name}`);
      }
    }
    fs.rmdir(path);
  } else {
    fs.unlink(path);
  }
}

// A file of the in-memory file system as a Blob; the file is gone afterwards.
function takeFile(path, type) {
  const node = paiview.FS.lookupPath(path).node;
  const blob = new Blob([node.contents.subarray(0, node.usedBytes)], { type });
  paiview.FS.unlink(path);
  return blob;
}

// Runs paiview in the logs' folder: {code, out (text or null), err (text)}.
function run(args, out) {
  paiview.FS.chdir(LOGS);
  const err = new ErrorLines();
  const result = paiview.run(args, out ? { out, err } : { err });
  return { code: result.code, out: out ? null : utf8.decode(result.out), err: err.text() };
}

function freshOut() {
  removeTree(OUT);
  paiview.FS.mkdir(OUT);
}

const handlers = {
  async start({ wasm }) {
    // The command draws its progress line for a person at a terminal only: the page's
    // status line is one, drawn at once. Its messages come as JSON lines, their text in
    // Japanese, which the page shows as they come, each by its kind.
    paiview = await startPaiview(createPaiview, wasm || base64Bytes(PAIVIEW_WASM),
      { PAIVIEW_PROGRESS_AFTER_MS: '0', PAIVIEW_MESSAGES: 'json' });
    // Standard error is marked as a terminal for the progress line.
    const stderr = paiview.FS.getStream(2);
    stderr.tty = stderr.tty || { ops: {} };
    paiview.FS.mkdir(LOGS);
    return {};
  },

  // Which of the kept logs at paths the file continues (holds it, then maybe more): the
  // same log read again after it grew. The page never holds a log's bytes itself.
  async offer({ blob, paths }) {
    const bytes = new Uint8Array(await blob.arrayBuffer());
    for (const path of paths) {
      const node = paiview.FS.lookupPath(`${LOGS}/${path}`).node;
      const old = node.contents.subarray(0, node.usedBytes);
      if (old.length <= bytes.length && old.every((b, i) => bytes[i] === b)) {
        return { match: path };
      }
    }
    return { match: null };
  },

  // A log under its name in the logs' folder, folders made as needed; answers with its
  // first bytes, for the page to tell what a file that is no log is.
  async put({ path, blob }) {
    const bytes = new Uint8Array(await blob.arrayBuffer());
    const parts = path.split('/');
    for (let i = 1; i < parts.length; ++i) {
      const folder = `${LOGS}/${parts.slice(0, i).join('/')}`;
      if (!paiview.FS.analyzePath(folder).exists) {
        paiview.FS.mkdir(folder);
      }
    }
    paiview.FS.writeFile(`${LOGS}/${path}`, bytes, { canOwn: true });
    return { head: bytes.slice(0, 512) };
  },

  remove({ path }) {
    removeTree(`${LOGS}/${path}`);
    return {};
  },

  // kind list or search: keeps the rows, answers with their count and, for the list,
  // the players' names.
  rows({ kind, args }) {
    const result = run(args);
    const rows = result.code === 0 ? JSON.parse(result.out).reverse() : [];
    kept[kind] = rows;
    const names = new Set();
    if (kind === 'list') {
      for (const game of rows) {
        for (const seat of game.seats) {
          names.add(seat.name);
        }
      }
    }
    return { code: result.code, err: result.err, count: rows.length, names: [...names].sort() };
  },

  window({ kind, from, to }) {
    return { rows: kept[kind].slice(from, to) };
  },

  show({ args }) {
    const result = run(args);
    return { code: result.code, err: result.err, game: result.code === 0 ? JSON.parse(result.out) : null };
  },

  report({ args }) {
    freshOut();
    const result = run([...args, '-o', `${OUT}/report.html`]);
    const report = result.code === 0 ? takeFile(`${OUT}/report.html`, 'text/html') : null;
    return { code: result.code, err: result.err, out: result.out, report };
  },

  // JSON to standard output, gathered in parts; CSV as the command's folder of files.
  export({ format, args, tables }) {
    freshOut();
    if (format === 'json') {
      const sink = new BlobSink('application/json');
      const result = run([...args, '--format', 'json', '-o', '-'], sink);
      return { code: result.code, err: result.err, files: result.code === 0 ? [['paiview.json', sink.blob()]] : [] };
    }
    const result = run([...args, '--format', 'csv', '-o', `${OUT}/csv`]);
    const files = result.code !== 0 ? [] : tables.map((t) => [`${t}.csv`, takeFile(`${OUT}/csv/${t}.csv`, 'text/csv')]);
    return { code: result.code, err: result.err, out: result.out, files };
  },
};

onmessage = async ({ data }) => {
  const { id, type } = data;
  try {
    postMessage({ id, ...(await handlers[type](data)) });
  } catch (error) {
    postMessage({ id, error: String(error) });
  }
};
