// The page: keeps the score logs the player chose or dropped, and asks the paiview
// command, run in a worker (web/worker.js), for each view. Text from a log is only ever
// set as textContent; the report goes into a frame that runs no script.
'use strict';

const CSV_TABLES = ['games', 'seats', 'hands', 'deltas', 'yaku', 'tenpai'];
const WINDOW = 100; // rows asked of the worker at a time
const SPARE = 8; // rows drawn beyond each edge of the screen

const $ = (selector) => document.querySelector(selector);
const state = {
  files: [], // {id, name, path, blob, size, bad: reason or null}
  nextFile: 1,
  applied: [], // the list's filters as the command's arguments, as last applied
  appliedText: 'すべての半荘',
  report: null,
  urls: [],
  from: null, // {tab, list, index}: where the open half-game was chosen
};

// An element with its text and attributes; children are elements or strings (as text).
function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    node.setAttribute(name, value);
  }
  for (const child of children) {
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

const number = (n) => n.toLocaleString('ja-JP');

// ---- Status and messages ----

function setStatus(text, kind = '') {
  const status = $('#status');
  status.textContent = text;
  status.className = `status ${kind}`;
}

// The command's messages as the core words them in Japanese: the worker asks for them as
// one JSON line each (code, kind, file, text). Their text names what the player can do
// here (the salvage box, taking a file out, the dates), never a command-line flag.
// One line of standard error as {code, kind, file, text}.
function message(line) {
  if (line.startsWith('{')) {
    try {
      const { code, kind, file, text } = JSON.parse(line);
      return { code, kind, file, text };
    } catch (error) {
      // not one of the core's messages: said below
    }
  }
  // The command's own usage errors, which the page's arguments are not meant to meet.
  return { code: null, kind: 'error', text: 'うまくいきませんでした。ページを読み込み直してください。' };
}

function messagesOf(err) {
  return err.split('\n').filter((line) => line !== '' && !/^paiview: exported /.test(line)).map(message);
}

function showProblems(list) {
  const box = $('#problems');
  box.replaceChildren(...list.map((m) => el('div', { class: m.kind }, m.text)));
  box.hidden = list.length === 0;
}

// ---- The worker ----

const worker = { thread: null, url: null, next: 0, pending: new Map(), onProgress: null };

function startWorker() {
  if (!worker.url) {
    const text = $('#worker-script').textContent;
    worker.url = URL.createObjectURL(new Blob([text], { type: 'text/javascript' }));
  }
  worker.thread = new Worker(worker.url);
  worker.thread.onmessage = ({ data }) => {
    if (data.progress) {
      showProgress(data.progress);
      return;
    }
    const waiting = worker.pending.get(data.id);
    worker.pending.delete(data.id);
    if (waiting) {
      data.error ? waiting.reject(new Error(data.error)) : waiting.resolve(data);
    }
  };
  worker.thread.onerror = (event) => {
    event.preventDefault();
    failAll(new Error(event.message || 'worker'));
  };
  return call('start', {}, false);
}

function failAll(error) {
  for (const waiting of worker.pending.values()) {
    waiting.reject(error);
  }
  worker.pending.clear();
  busyEnded();
}

// One request to the worker; long ones show the progress and the stop button.
function call(type, data = {}, long = true) {
  const id = ++worker.next;
  return new Promise((resolve, reject) => {
    worker.pending.set(id, { resolve, reject, long });
    if (long) {
      $('#stop').hidden = false;
      document.body.dataset.busy = 'true';
    }
    worker.thread.postMessage({ id, type, ...data });
  }).finally(busyEnded);
}

function busyEnded() {
  if (![...worker.pending.values()].some((w) => w.long)) {
    $('#stop').hidden = true;
    $('#progress').hidden = true;
    delete document.body.dataset.busy;
  }
}

function showProgress({ read, total }) {
  const bar = $('#progress');
  bar.hidden = false;
  bar.max = Math.max(total, 1);
  bar.value = read;
  setStatus(`読んでいます… ${number(read)} / ${number(total)} 半荘`);
}

class Stopped extends Error {}

// Ends the run by ending its worker; a fresh one gets the logs again.
async function stop() {
  worker.thread.terminate();
  failAll(new Stopped());
  await startWorker();
  for (const file of state.files) {
    try {
      await call('put', { path: file.path, blob: file.blob }, false);
    } catch (error) {
      // The browser reads a chosen file from the disk, and refuses once it changed there.
      file.bad = 'ファイルがディスクの上で変わりました。もう一度選んでください';
    }
  }
  drawFiles();
  setStatus('止めました。', 'done');
}

// ---- Files ----

const MAGIC = [
  [[0xff, 0xfe, 0, 0], 'UTF-32 の文字で書かれたファイルです。東風荘のログは CP932 か UTF-8 です'],
  [[0, 0, 0xfe, 0xff], 'UTF-32 の文字で書かれたファイルです。東風荘のログは CP932 か UTF-8 です'],
  [[0xff, 0xfe], 'UTF-16 の文字で書かれたファイルです。CP932 か UTF-8 で保存し直してください'],
  [[0xfe, 0xff], 'UTF-16 の文字で書かれたファイルです。CP932 か UTF-8 で保存し直してください'],
  [[0x89, 0x50, 0x4e, 0x47], '画像（PNG）です。牌譜ログではありません'],
  [[0xff, 0xd8, 0xff], '画像（JPEG）です。牌譜ログではありません'],
  [[0x47, 0x49, 0x46, 0x38], '画像（GIF）です。牌譜ログではありません'],
  [[0x50, 0x4b, 0x03, 0x04], '圧縮ファイル（ZIP）です。展開してから中のログを選んでください'],
  [[0x1f, 0x8b], '圧縮ファイル（gzip）です。展開してから中のログを選んでください'],
  [[0x37, 0x7a, 0xbc, 0xaf], '圧縮ファイル（7z）です。展開してから中のログを選んでください'],
  [[0x52, 0x61, 0x72, 0x21], '圧縮ファイル（RAR）です。展開してから中のログを選んでください'],
];

// What the file is when it is plainly no log, from its first bytes: a reason, or null.
function notALog(bytes, size) {
  if (size === 0) {
    return '空のファイルです';
  }
  for (const [magic, reason] of MAGIC) {
    if (magic.every((b, i) => bytes[i] === b)) {
      return reason;
    }
  }
  // UTF-16 without its mark: every other byte zero in plain text.
  const head = bytes.subarray(0, 512);
  let zeros = 0;
  for (let i = 0; i < head.length; ++i) {
    zeros += head[i] === 0;
  }
  return zeros > head.length / 4 ? 'UTF-16 か UTF-32 の文字で書かれたファイルのようです。CP932 か UTF-8 で保存し直してください' : null;
}

// A file chosen again is read again: one with a kept file's name replaces it when it
// is that file grown (the kept bytes begin it) or the kept one did not read. Any other
// file of the same name is another log (two PCs' score.txt) and is kept beside it.
// Only the worker reads the bytes: the page keeps the File, and stays free to answer.
async function addFiles(fileList) {
  const chosen = Array.from(fileList);
  if (chosen.length === 0) {
    return;
  }
  setStatus('ファイルを読み込んでいます…');
  try {
    const taken = new Set();
    for (const file of chosen) {
      const name = file.name.replace(/[/\\\0]/g, '_') || 'log.txt';
      const same = state.files.filter((f) => f.name === name && !taken.has(f));
      let kept = same.find((f) => f.bad);
      if (!kept && same.length > 0) {
        const { match } = await call('offer', { blob: file, paths: same.map((f) => f.path) });
        kept = same.find((f) => f.path === match);
      }
      if (!kept) {
        kept = { id: state.nextFile++, name, path: pathFor(name) };
        state.files.push(kept);
      }
      Object.assign(kept, { blob: file, size: file.size, readFailed: false });
      taken.add(kept);
      const { head } = await call('put', { path: kept.path, blob: file });
      kept.bad = notALog(head, file.size);
    }
  } catch (error) {
    setStatus(error instanceof Stopped ? '止めました。' : `ファイルを読み込めませんでした：${error.message}`, 'failed');
    return;
  }
  $('#clear').disabled = false;
  await refreshList();
}

// The name the command sees, and the page shows: the file's own, and a number before it
// for each further log of that name ("2/score.txt").
function pathFor(name) {
  const same = state.files.filter((f) => f.name === name).map((f) => f.path);
  if (!same.includes(name)) {
    return name.startsWith('-') ? `./${name}` : name;
  }
  for (let n = 2; ; ++n) {
    if (!same.includes(`${n}/${name}`)) {
      return `${n}/${name}`;
    }
  }
}

function drawFiles() {
  const list = $('#file-list');
  list.replaceChildren(...state.files.map((f) => {
    const remove = el('button', { type: 'button', class: 'remove', 'aria-label': `${f.path} を外す` }, '外す');
    remove.addEventListener('click', () => removeFile(f));
    return el('li', { class: f.bad ? 'bad' : '', 'data-path': f.path },
      el('span', { class: 'path' }, f.path),
      el('span', { class: 'size' }, `${number(f.size)} バイト`),
      ...(f.bad ? [el('span', { class: 'reason' }, f.bad)] : []),
      remove);
  }));
  const good = state.files.filter((f) => !f.bad).length;
  $('#file-names').textContent = state.files.length === 0 ? 'まだ読み込んでいません'
    : `${state.files.length} ファイル（読めたもの ${good}）`;
  $('#files-summary').textContent = state.files.length === 0 ? '牌譜ログ'
    : `牌譜ログ：${state.files.map((f) => f.path).join('、')}`;
}

async function removeFile(file) {
  state.files = state.files.filter((f) => f !== file);
  await call('remove', { path: file.path }, false);
  if (state.files.length === 0) {
    clearFiles();
  } else {
    await refreshList();
  }
}

async function clearFiles() {
  for (const file of state.files) {
    await call('remove', { path: file.path }, false);
  }
  state.files = [];
  drawFiles();
  $('#clear').disabled = true;
  $('#tabs').hidden = true;
  document.body.classList.remove('loaded');
  $('#files').open = true;
  for (const tab of document.querySelectorAll('.tab')) {
    tab.hidden = true;
  }
  showProblems([]);
  setStatus('牌譜ログを選んでください。');
}

function logArgs(files) {
  const paths = files.map((f) => f.path);
  return $('#salvage').checked ? ['--salvage', ...paths] : paths;
}

// ---- The list ----

// Rows drawn as the page scrolls: a box as tall as all rows, holding only those on the
// screen; their text comes from the worker a window at a time.
class RowList {
  constructor(box, kind, render, open) {
    Object.assign(this, { box, kind, render, open, count: 0, cache: new Map(), drawn: new Map() });
    window.addEventListener('scroll', () => this.draw(), { passive: true });
    window.addEventListener('resize', () => this.draw());
    box.addEventListener('click', (event) => {
      const row = event.target.closest('[data-index]');
      row && this.open(Number(row.dataset.index), this.rowAt(Number(row.dataset.index)));
    });
    box.addEventListener('keydown', (event) => this.key(event));
  }

  rowHeight() {
    return parseFloat(getComputedStyle(this.box).getPropertyValue('--row-height')) || 60; // px
  }

  reset(count) {
    this.count = count;
    this.cache.clear();
    this.drawn.clear();
    this.generation = (this.generation || 0) + 1;
    this.box.replaceChildren();
    this.box.style.height = `${count * this.rowHeight()}px`;
    this.box.dataset.count = String(count);
    this.draw();
  }

  rowAt(index) {
    const block = this.cache.get(Math.floor(index / WINDOW));
    return Array.isArray(block) ? block[index % WINDOW] : null;
  }

  fetch(block) {
    if (this.cache.has(block)) {
      return;
    }
    const generation = this.generation;
    this.cache.set(block, 'asked');
    call('window', { kind: this.kind, from: block * WINDOW, to: (block + 1) * WINDOW }, false).then(({ rows }) => {
      if (generation === this.generation) {
        this.cache.set(block, rows);
        this.draw(true);
      }
    }, () => this.cache.delete(block));
  }

  draw(again = false) {
    if (this.box.offsetParent === null || this.count === 0) {
      return;
    }
    const h = this.rowHeight();
    const top = this.box.getBoundingClientRect().top;
    const first = Math.max(0, Math.floor(-top / h) - SPARE);
    const last = Math.min(this.count, Math.ceil((window.innerHeight - top) / h) + SPARE);
    for (const [index, node] of this.drawn) {
      const outside = index < first || index >= last;
      if ((outside && node !== document.activeElement) || (again && node.dataset.empty && this.rowAt(index))) {
        node.remove();
        this.drawn.delete(index);
      }
    }
    for (let i = first; i < last; ++i) {
      if (!this.drawn.has(i)) {
        const item = this.rowAt(i);
        if (!item) {
          this.fetch(Math.floor(i / WINDOW));
        }
        const node = item ? this.render(item, i) : el('div', { 'data-empty': 'true' }, '…');
        node.setAttribute('role', 'listitem');
        node.setAttribute('tabindex', '0');
        node.dataset.index = String(i);
        node.classList.add('item');
        node.style.top = `${i * h}px`;
        const focused = document.activeElement?.dataset?.index === String(i) &&
          this.box.contains(document.activeElement);
        this.box.append(node);
        this.drawn.set(i, node);
        focused && node.focus({ preventScroll: true });
      }
    }
  }

  // Shows row index and gives it the focus.
  focusRow(index) {
    const i = Math.max(0, Math.min(this.count - 1, index));
    const h = this.rowHeight();
    const top = this.box.getBoundingClientRect().top + window.scrollY + i * h;
    if (top < window.scrollY || top + h > window.scrollY + window.innerHeight) {
      window.scrollTo(0, top - window.innerHeight / 3);
    }
    this.draw();
    this.drawn.get(i)?.focus({ preventScroll: true });
  }

  key(event) {
    const row = event.target.closest('[data-index]');
    if (!row) {
      return;
    }
    const index = Number(row.dataset.index);
    const page = Math.max(1, Math.floor(window.innerHeight / this.rowHeight()) - 1);
    const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page };
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      const item = this.rowAt(index);
      item && this.open(index, item);
    } else if (event.key in moves) {
      event.preventDefault();
      this.focusRow(index + moves[event.key]);
    } else if (event.key === 'Home' || event.key === 'End') {
      event.preventDefault();
      this.focusRow(event.key === 'Home' ? 0 : this.count - 1);
    }
  }
}

function gameRow(game) {
  const placings = game.aborted ? [el('span', {}, '途中終了')] : game.placings.map((p) => el('span', {}, p.raw));
  return el('div', { 'data-game': String(game.number), class: game.aborted ? 'aborted' : '' },
    el('span', { class: 'no' }, `No ${game.number}`),
    el('span', { class: 'when' }, game.start || game.startRaw),
    el('span', { class: 'table' }, game.table),
    el('span', { class: 'seats' }, game.seats.map((s) => s.raw).join('、')),
    el('span', { class: 'places' }, ...placings));
}

function hitRow(hit) {
  const where = `${hit.file}:${hit.line} 半荘 ${hit.game}` +
    (hit.hand === null ? '' : `、${hit.hand} 局目（${hit.title}）`);
  return el('div', { 'data-game': String(hit.game) }, el('span', { class: 'where' }, where),
    el('span', { class: 'text' }, hit.text));
}

let games = null;
let hits = null;
let listRun = 0;

// Lists the logs with the applied filters. A file that does not read is marked with
// its reason and left out, and the others are listed without it.
async function refreshList(previous = null) {
  drawFiles();
  const run = ++listRun;
  let files = state.files.filter((f) => !f.bad || f.readFailed);
  const marks = files.map((f) => [f, f.bad, f.readFailed]);
  for (const f of files) {
    f.bad = null;
    f.readFailed = false;
  }
  let result = null;
  let problems = [];
  setStatus('一覧を作っています…');
  try {
    while (files.length > 0) {
      result = await call('rows', { kind: 'list', args: ['list', ...logArgs(files), '--format', 'json', ...state.applied] });
      if (run !== listRun) {
        return;
      }
      if (result.code === 0) {
        break;
      }
      // The error is the last line; warnings before it may name other files.
      const last = message(result.err.split('\n').filter(Boolean).pop() || '');
      const broken = files.find((f) => last.file === f.path);
      if (!broken) {
        break;
      }
      broken.bad = last.text;
      broken.readFailed = true;
      problems.push({ kind: 'error', text: broken.bad });
      files = files.filter((f) => f !== broken);
      result = null;
    }
  } catch (error) {
    setStatus(error instanceof Stopped ? '止めました。' : `一覧を作れませんでした：${error.message}`, 'failed');
    return;
  }
  drawFiles();
  const ok = result && result.code === 0;
  if (result) {
    problems = [...problems, ...messagesOf(result.err)];
  }
  showProblems(problems);
  // Filters the command refused (the dates): the list stays as it was, under the filters
  // it was made with, for the player to mend them.
  if (!ok && previous && problems.some((m) => m.code === 'start-after-end')) {
    state.applied = previous.applied;
    state.appliedText = previous.appliedText;
    for (const [f, bad, readFailed] of marks) {
      Object.assign(f, { bad, readFailed });
    }
    drawFiles();
    setStatus('絞り込めませんでした。', 'failed');
    return;
  }
  $('#names').replaceChildren(...(ok ? result.names : []).map((name) => el('option', { value: name })));
  state.readable = ok ? files : [];
  const loaded = ok && files.length > 0;
  $('#tabs').hidden = !loaded;
  document.body.classList.toggle('loaded', loaded);
  if (loaded) {
    $('#files').open = false;
    // On a phone the filters fold too, until the player opens them.
    if (window.matchMedia('(max-width: 600px)').matches && !state.applied.length) {
      $('#filter-box').open = false;
    }
  }
  selectTab(loaded ? 'list' : null);
  const count = ok ? result.count : 0;
  $('#list-count').textContent = ok ? `${number(count)} 半荘（新しい順）` : '';
  $('#list-count').dataset.count = String(count);
  games.reset(count);
  const bad = state.files.filter((f) => f.bad).length;
  if (!ok) {
    setStatus(state.files.length === bad ? '読めるログがありません。ファイルを確かめてください。' : '一覧を作れませんでした。', 'failed');
  } else {
    setStatus(`${files.length} ファイルから ${number(count)} 半荘を読みました。` +
      (bad ? `読めなかったファイルが ${bad} あります。` : ''), 'done');
  }
}

function describeFilters(form) {
  const value = (name) => form[name].value.trim();
  const parts = [];
  value('player') && parts.push(`プレイヤー ${value('player')}`);
  value('with') && parts.push(`同卓者 ${value('with')}`);
  (value('since') || value('until')) && parts.push(`${value('since') || ''}〜${value('until') || ''}`);
  value('table') && parts.push(`卓名に「${value('table')}」`);
  value('players') && parts.push(`${value('players')}人`);
  value('state') && parts.push(value('state') === 'completed' ? '終了した半荘' : '途中終了の半荘');
  value('last') && parts.push(`新しい ${value('last')} 半荘`);
  return parts.length ? parts.join('、') : 'すべての半荘';
}

// The list's filters as the command's arguments; the command says what is wrong with them.
function filterArgs(form) {
  const value = (name) => form[name].value.trim();
  const args = [];
  value('player') && args.push('--player', value('player'));
  for (const name of value('with').split(/[、,，]/)) {
    name.trim() && args.push('--with', name.trim());
  }
  for (const name of ['since', 'until', 'table', 'players', 'last']) {
    value(name) && args.push(`--${name}`, value(name));
  }
  value('state') && args.push(`--${value('state')}`);
  return args;
}

function showApplied() {
  for (const node of document.querySelectorAll('.applied-text, #applied')) {
    node.textContent = node.id === 'applied' ? `絞り込み：${state.appliedText}` : state.appliedText;
  }
}

async function applyFilters() {
  const form = $('#filters').elements;
  const previous = { applied: state.applied, appliedText: state.appliedText };
  state.applied = filterArgs(form);
  state.appliedText = describeFilters(form);
  await refreshList(previous);
  showApplied();
}

// ---- One half-game ----

function signed(n) {
  return n > 0 ? `+${n}` : String(n);
}

function handRow(hand, seats, showDealer) {
  const cells = [el('td', { class: 'num', 'data-label': '#' }, hand.number), el('td', { class: 'title', 'data-label': '局' }, hand.title)];
  if (showDealer) {
    const dealer = seats.find((s) => s.seat === hand.dealer);
    cells.push(el('td', { 'data-label': '親' }, dealer ? dealer.name : ''));
  }
  seats.forEach((seat, i) => {
    let change = 0;
    for (const c of hand.changes) {
      // By seat where the log tells it; by name where two seats share one.
      change += (c.seat != null ? c.seat === seat.seat : c.name === seat.name) ? c.change : 0;
    }
    const text = hand.resultParsed ? signed(change) : '?';
    const cell = el('td', { class: `num ${change > 0 ? 'plus' : change < 0 ? 'minus' : ''}`, 'data-label': seat.name }, text);
    const after = Array.isArray(hand.pointsAfter) ? hand.pointsAfter[i] : null;
    if (after !== null && after !== undefined) {
      cell.append(el('span', { class: 'after' }, `→ ${after}`));
    }
    cells.push(cell);
  });
  const words = hand.resultParsed ? hand.yaku : `${hand.yaku}（${hand.result}）`;
  cells.push(el('td', { class: 'words', 'data-label': '役・結果' }, words));
  return el('tr', {}, ...cells);
}

async function showGame(gameNumber, from) {
  setStatus('半荘を開いています…');
  let result;
  try {
    result = await call('show', { args: ['show', ...logArgs(state.readable), String(gameNumber), '--format', 'json'] });
  } catch (error) {
    setStatus(error instanceof Stopped ? '止めました。' : `半荘を開けませんでした：${error.message}`, 'failed');
    return;
  }
  if (!result.game) {
    showProblems(messagesOf(result.err));
    setStatus('半荘を開けませんでした。', 'failed');
    return;
  }
  const game = result.game;
  state.from = from;
  $('#game-title').textContent = `半荘 ${game.number}：${game.table}`;
  const facts = [
    ['開始', game.start || game.startRaw],
    ['終了', game.end || game.endRaw],
    ...game.seats.map((s) => [`[${s.seat}]`, s.raw]),
    ...(typeof game.startPoints === 'number' ? [['開始点', String(game.startPoints)]] : []),
    ...(game.aborted ? [['結果', '途中終了']] : []),
    ...game.placings.map((p, i) => [i === 0 ? '順位' : '', p.raw]),
  ];
  $('#game-facts').replaceChildren(...facts.flatMap(([k, v]) => [el('dt', {}, k), el('dd', {}, v)]));
  const showDealer = game.hands.some((h) => h.dealer !== undefined && h.dealer !== null);
  const head = ['#', '局', ...(showDealer ? ['親'] : []), ...game.seats.map((s) => s.name), '役・結果'];
  $('#hands thead').replaceChildren(el('tr', {}, ...head.map((h) => el('th', { scope: 'col' }, h))));
  $('#hands tbody').replaceChildren(...game.hands.map((h) => handRow(h, game.seats, showDealer)));
  $('#hands').dataset.count = String(game.hands.length);
  showView('game');
  setStatus(`半荘 ${game.number}：${game.hands.length} 局`, 'done');
  window.scrollTo(0, 0);
  $('#back').focus();
}

function back() {
  const from = state.from || { tab: 'list' };
  selectTab(from.tab);
  if (from.list && from.index !== undefined) {
    requestAnimationFrame(() => from.list.focusRow(from.index));
  }
}

// ---- Search ----

async function search(event) {
  event.preventDefault();
  const form = $('#search').elements;
  setStatus('検索しています…');
  showProblems([]);
  let result;
  try {
    result = await call('rows', { kind: 'hits', args: ['search', ...logArgs(state.readable), form.field.value, form.text.value, '--format', 'json'] });
  } catch (error) {
    setStatus(error instanceof Stopped ? '止めました。' : `検索できませんでした：${error.message}`, 'failed');
    return;
  }
  const ok = result.code === 0;
  showProblems(messagesOf(result.err));
  $('#search-count').textContent = ok ? `${number(result.count)} 件（新しい順）` : '';
  $('#search-count').dataset.count = String(ok ? result.count : 0);
  hits.reset(ok ? result.count : 0);
  setStatus(ok ? `検索：${number(result.count)} 件` : '検索できませんでした。', ok ? 'done' : 'failed');
}

// ---- Report ----

async function report(event) {
  event.preventDefault();
  const player = $('#report').elements.player.value.trim();
  const frame = $('#report-frame');
  setStatus('レポートを作っています…');
  showProblems([]);
  const args = ['report', ...logArgs(state.readable), ...state.applied.filter((a, i, all) => a !== '--player' && all[i - 1] !== '--player')];
  player && args.push('--player', player);
  let result;
  try {
    result = await call('report', { args });
  } catch (error) {
    result = { code: -1, err: '', failure: error };
  }
  if (result.code !== 0) {
    frame.hidden = true;
    $('#report-owner').textContent = '';
    $('#report-save').disabled = true;
    showProblems(messagesOf(result.err));
    setStatus(result.failure instanceof Stopped ? '止めました。' : 'レポートを作れませんでした。', 'failed');
    return;
  }
  state.report = result.report;
  // "Wrote FILE: NAME, in N of M half-games"
  const line = result.out.trim();
  const [, whom, mine, all] = /^Wrote [^:]*: (.*), in (\d+) of (\d+) half-games?$/.exec(line) || [];
  $('#report-owner').textContent = whom ? `${whom} の成績（${all} 半荘のうち ${mine}）` : '';
  $('#report-owner').dataset.player = whom || '';
  // The command escapes every text of the log; the frame runs no script either way.
  frame.srcdoc = await result.report.text();
  frame.hidden = false;
  $('#report-save').disabled = false;
  setStatus(`レポートを作りました（${state.appliedText}）。`, 'done');
}

// ---- Export and downloads ----

function clearDownloads() {
  for (const url of state.urls) {
    URL.revokeObjectURL(url);
  }
  state.urls = [];
  $('#downloads').replaceChildren();
}

function downloadLink(name, blob) {
  const url = URL.createObjectURL(blob);
  state.urls.push(url);
  const link = el('a', { href: url, download: name }, `${name}（${number(blob.size)} バイト）`);
  $('#downloads').append(el('li', {}, link));
  return link;
}

// Where the browser can write a file itself, the player picks it first (while the
// click still counts) and the export goes there as it streams out of its Blob.
async function pickTarget(name) {
  if (typeof window.showSaveFilePicker !== 'function') {
    return null;
  }
  try {
    return await window.showSaveFilePicker({ suggestedName: name });
  } catch (error) {
    return error.name === 'AbortError' ? 'cancelled' : null;
  }
}

async function exportAs(format) {
  clearDownloads();
  $('#export-done').textContent = '';
  showProblems([]);
  const target = format === 'json' ? await pickTarget('paiview.json') : null;
  if (target === 'cancelled') {
    setStatus('書き出しをやめました。');
    return;
  }
  setStatus('書き出しています…');
  const extra = format === 'csv' && $('#bom').checked ? ['--bom'] : [];
  let result;
  try {
    result = await call('export', { format, tables: CSV_TABLES, args: ['export', ...logArgs(state.readable), ...extra, ...state.applied] });
  } catch (error) {
    setStatus(error instanceof Stopped ? '止めました。' : `書き出せませんでした：${error.message}`, 'failed');
    return;
  }
  if (result.code !== 0) {
    showProblems(messagesOf(result.err));
    setStatus('書き出せませんでした。', 'failed');
    return;
  }
  // "exported N half-games, M hands to PATH", on standard error when the JSON streamed.
  const [, count, hands] = /exported (\d+) half-games?, (\d+) hands?/.exec(`${result.out || ''}${result.err}`) || [];
  const what = `${count} 半荘、${hands} 局（${state.appliedText}）`;
  if (target) {
    try {
      const writable = await target.createWritable();
      await result.files[0][1].stream().pipeTo(writable);
      $('#export-done').textContent = `${what}を ${target.name} に書き出しました。`;
      setStatus('書き出しました。', 'done');
    } catch (error) {
      setStatus(`${target.name} に書けませんでした：${error.message}`, 'failed');
    }
    return;
  }
  const links = result.files.map(([name, blob]) => downloadLink(name, blob));
  $('#export-done').textContent = `${what}のファイルができました。` +
    (links.length > 1 ? 'リンクから一つずつ保存してください。' : 'ダウンロードを始めました。');
  $('#export-done').dataset.files = String(links.length);
  if (links.length === 1) {
    links[0].click();
  }
  setStatus(links.length > 1 ? 'CSV ができました。リンクから保存できます。' : 'JSON をダウンロードに渡しました。', 'done');
}

// ---- Tabs and start ----

function showView(name) {
  for (const tab of document.querySelectorAll('.tab')) {
    tab.hidden = tab.id !== `tab-${name}`;
  }
  games.draw();
  hits.draw();
}

// The tab bar: the selected tab alone takes the focus by Tab; arrows, Home and End move.
function selectTab(name, focus = false) {
  if (name !== null) {
    showView(name);
  }
  for (const button of document.querySelectorAll('#tabs button')) {
    const selected = button.dataset.tab === name;
    button.setAttribute('aria-selected', String(selected));
    button.tabIndex = selected ? 0 : -1;
    selected && focus && button.focus();
  }
}

function tabKeys(event) {
  const buttons = [...document.querySelectorAll('#tabs button')];
  const at = buttons.indexOf(document.activeElement);
  const to = { ArrowRight: at + 1, ArrowLeft: at - 1, Home: 0, End: buttons.length - 1 }[event.key];
  if (to === undefined || at < 0) {
    return;
  }
  event.preventDefault();
  const next = buttons[(to + buttons.length) % buttons.length];
  changeTab(next.dataset.tab, true);
}

function changeTab(name, focus) {
  showProblems([]);
  setStatus('');
  selectTab(name, focus);
}

function wire() {
  const drop = $('#drop');
  $('#file-input').addEventListener('change', async (event) => {
    const files = Array.from(event.target.files);
    // Emptied, so that choosing the same file again is a change that reads it again.
    event.target.value = '';
    await addFiles(files);
  });
  drop.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
  });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    addFiles(event.dataTransfer.files);
  });
  // A file dropped beside the zone must not replace the page.
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => event.preventDefault());
  $('#clear').addEventListener('click', clearFiles);
  $('#salvage').addEventListener('change', () => state.files.length && refreshList());
  $('#stop').addEventListener('click', stop);
  $('#filters').addEventListener('submit', (event) => {
    event.preventDefault();
    applyFilters();
  });
  $('#filters').addEventListener('reset', () => setTimeout(applyFilters, 0));
  $('#back').addEventListener('click', back);
  $('#search').addEventListener('submit', search);
  $('#report').addEventListener('submit', report);
  $('#report-save').addEventListener('click', () => {
    clearDownloads();
    downloadLink('report.html', state.report).click();
  });
  $('#export-csv').addEventListener('click', () => exportAs('csv'));
  $('#export-json').addEventListener('click', () => exportAs('json'));
  for (const button of document.querySelectorAll('#tabs button')) {
    button.addEventListener('click', () => changeTab(button.dataset.tab, false));
  }
  $('#tabs').addEventListener('keydown', tabKeys);
  games = new RowList($('#games'), 'list', gameRow, (index, game) => showGame(game.number, { tab: 'list', list: games, index }));
  hits = new RowList($('#hits'), 'hits', hitRow, (index, hit) => showGame(hit.game, { tab: 'search', list: hits, index }));
}

async function start() {
  wire();
  try {
    await startWorker();
    setStatus('牌譜ログを選んでください。');
    document.body.dataset.ready = 'true';
  } catch (error) {
    setStatus(`このブラウザでは動きません：${error.message}`, 'failed');
  }
}

start();
