// The page's module run as the paiview command under Node, on the real files (NODEFS):
// what the tests compare with the native build and what the benchmark times.
// Usage: node web/node-run.js BUILD/web/paiview.js ARGS...   (relative paths as typed)
'use strict';
const fs = require('fs');
const path = require('path');
const { startPaiview } = require('./runner.js');

const [moduleFile, ...args] = process.argv.slice(2);
const wasm = fs.readFileSync(path.resolve(moduleFile).replace(/\.js$/, '.wasm'));
startPaiview(require(path.resolve(moduleFile)), wasm).then((paiview) => {
  const { FS } = paiview;
  // The host's root under /host; relative names stay as typed, so messages match.
  FS.mkdir('/host');
  FS.mount(FS.filesystems.NODEFS, { root: '/' }, '/host');
  FS.chdir(path.posix.join('/host', process.cwd()));
  const result = paiview.run(args.map((a) => (a.startsWith('/') ? '/host' + a : a)));
  process.stdout.write(result.out);
  process.stderr.write(result.err);
  process.exitCode = result.code;
});
