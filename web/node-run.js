// The page's module run as the paiview command under Node, the way the page runs it:
// the logs named on the command line are copied into the in-memory file system, the
// command runs there, and what it wrote (-o) is copied back to the disk. The tests
// compare this with the native build and the benchmark times it.
// Usage: node web/node-run.js BUILD/web/paiview.js ARGS...
'use strict';
const fs = require('fs');
const path = require('path');
const { startPaiview } = require('./runner.js');

// In memory, every file keeps its absolute path on disk: messages name it as typed.
function copyIn(FS, file) {
  FS.mkdirTree(path.dirname(file));
  // canOwn: the file system keeps the bytes read, with no second copy.
  FS.writeFile(file, fs.readFileSync(file), { canOwn: true });
}

function copyOut(FS, target) {
  if (!FS.analyzePath(target).exists) {
    return;
  }
  if (FS.isDir(FS.stat(target).mode)) {
    fs.mkdirSync(target, { recursive: true });
    for (const name of FS.readdir(target).filter((n) => n !== '.' && n !== '..')) {
      copyOut(FS, path.join(target, name));
    }
  } else {
    fs.writeFileSync(target, FS.readFile(target));
  }
}

function outputOf(args) {
  for (let i = 0; i < args.length; ++i) {
    if ((args[i] === '-o' || args[i] === '--output') && i + 1 < args.length) {
      return args[i + 1];
    }
    if (args[i].startsWith('--output=')) {
      return args[i].slice('--output='.length);
    }
  }
  return null;
}

const [moduleFile, ...args] = process.argv.slice(2);
const wasm = fs.readFileSync(path.resolve(moduleFile).replace(/\.js$/, '.wasm'));
startPaiview(require(path.resolve(moduleFile)), wasm).then((paiview) => {
  const { FS } = paiview;
  FS.mkdirTree(process.cwd());
  FS.chdir(process.cwd());
  const output = outputOf(args);
  for (const arg of args) {
    const file = path.resolve(arg);
    if (arg !== output && fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
      copyIn(FS, file);
    }
  }
  if (output && fs.existsSync(path.dirname(path.resolve(output)))) {
    FS.mkdirTree(path.dirname(path.resolve(output)));
  }
  const result = paiview.run(args);
  if (output) {
    copyOut(FS, path.resolve(output));
  }
  process.stdout.write(result.out);
  process.stderr.write(result.err);
  process.exitCode = result.code;
});
