// The page: reads score logs chosen or dropped by the user into the module's in-memory
// file system and runs the paiview command on them for each view. Text from a log is
// only ever set as textContent; the report goes into a frame that runs no script.
'use strict';

const LOGS = '/logs';
const OUT = '/out';
const PAGE_ROWS = 500; // rows of the list added at a time

const utf8 = new TextDecoder('utf-8');
const $ = (selector) => document.querySelector(selector);
const state = { paiview: null, files: [], games: [], shown: 0, report: null, urls: [] };

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

function setStatus(text) {
  $('#status').textContent = text;
}

// The command's messages: errors in full as it names them, skipped half-games as notes.
function showProblems(err) {
  const box = $('#problems');
  box.replaceChildren();
  const lines = err.split('\n').filter((line) => line !== '');
  for (const line of lines) {
    const skipped = line.startsWith('paiview: skipped lines');
    box.append(el('div', skipped ? { class: 'skipped' } : {}, line));
  }
  box.hidden = lines.length === 0;
}

// Runs paiview with args in the logs' folder; returns {code, out, err} as text.
function paiview(args) {
  const fs = state.paiview.FS;
  fs.chdir(LOGS);
  let result;
  try {
    result = state.paiview.run(args);
  } catch (error) {
    // A crashed instance cannot be trusted again: start a fresh one for the next action.
    restart();
    return { code: 1, out: '', err: `paiview: ${error}\n` };
  }
  return { code: result.code, out: utf8.decode(result.out), err: utf8.decode(result.err) };
}

// Like paiview, but shows the messages and returns null when the command failed.
function paiviewOrShow(args) {
  const result = paiview(args);
  showProblems(result.err);
  return result.code === 0 ? result : null;
}

function removeTree(path) {
  const fs = state.paiview.FS;
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

function freshOut() {
  removeTree(OUT);
  state.paiview.FS.mkdir(OUT);
}

// The LOG arguments: the files' names as the user knows them ("-" would mean stdin).
function logArgs() {
  const names = state.files.map((name) => (name.startsWith('-') ? `./${name}` : name));
  return $('#salvage').checked ? ['--salvage', ...names] : names;
}

function filterArgs({ withPlayer = true } = {}) {
  const form = $('#filters').elements;
  const args = [];
  const value = (name) => form[name].value.trim();
  if (withPlayer && value('player')) {
    args.push('--player', value('player'));
  }
  for (const name of value('with').split(/[、,，]/)) {
    if (name.trim()) {
      args.push('--with', name.trim());
    }
  }
  for (const name of ['since', 'until', 'table', 'players', 'last']) {
    if (value(name)) {
      args.push(`--${name}`, value(name));
    }
  }
  if (value('state')) {
    args.push(`--${value('state')}`);
  }
  return args;
}

// Runs work after the status line has been painted: the command blocks the page.
function busy(text, work) {
  setStatus(text);
  setTimeout(() => {
    work();
  }, 30);
}

// ---- Files ----

async function addFiles(fileList) {
  const files = Array.from(fileList);
  if (files.length === 0 || !state.paiview) {
    return;
  }
  setStatus('読み込んでいます…');
  const fs = state.paiview.FS;
  for (const file of files) {
    // A name of the user's file, safe as one entry of the folder.
    const name = file.name.replace(/[/\0]/g, '_') || 'log.txt';
    fs.writeFile(`${LOGS}/${name}`, new Uint8Array(await file.arrayBuffer()));
    if (!state.files.includes(name)) {
      state.files.push(name);
    }
  }
  $('#file-names').textContent = state.files.join('、');
  $('#clear').disabled = false;
  refreshList();
}

function clearFiles() {
  for (const name of state.files) {
    state.paiview.FS.unlink(`${LOGS}/${name}`);
  }
  state.files = [];
  state.games = [];
  $('#file-names').textContent = 'まだ読み込んでいません';
  $('#clear').disabled = true;
  $('#tabs').hidden = true;
  for (const tab of document.querySelectorAll('.tab')) {
    tab.hidden = true;
  }
  showProblems('');
  setStatus('牌譜ログを選んでください。');
}

// ---- The list ----

// The placings one a line; an aborted half-game has none.
function placingsCell(game) {
  if (game.aborted) {
    return el('td', {}, '途中終了');
  }
  return el('td', {}, ...game.placings.map((p) => el('div', {}, p.raw)));
}

function gameRow(game) {
  const row = el(
    'tr',
    { tabindex: '0', 'data-game': String(game.number), class: game.aborted ? 'aborted' : '' },
    el('td', { class: 'no' }, game.number),
    el('td', { class: 'when' }, game.start || game.startRaw),
    el('td', { class: 'table' }, game.table),
    el('td', {}, game.seats.map((s) => s.raw).join('、')),
    placingsCell(game),
  );
  const open = () => showGame(game.number);
  row.addEventListener('click', open);
  row.addEventListener('keydown', (event) => event.key === 'Enter' && open());
  return row;
}

function showMoreRows() {
  const body = $('#games tbody');
  const next = state.games.slice(state.shown, state.shown + PAGE_ROWS);
  body.append(...next.map(gameRow));
  state.shown += next.length;
  $('#more').hidden = state.shown >= state.games.length;
}

function refreshList() {
  if (state.files.length === 0) {
    return;
  }
  busy('一覧を作っています…', () => {
    const result = paiviewOrShow(['list', ...logArgs(), '--format', 'json', ...filterArgs()]);
    $('#games tbody').replaceChildren();
    state.games = result ? JSON.parse(result.out) : [];
    state.shown = 0;
    showMoreRows();
    $('#list-count').textContent = result ? `${state.games.length} 半荘` : '読めませんでした';
    $('#list-count').dataset.count = String(state.games.length);
    fillNames();
    $('#tabs').hidden = !result;
    selectTab('list');
    setStatus(result ? `${state.files.length} ファイルを読みました。` : 'ログを読めませんでした。');
  });
}

// Names for the player fields, from the half-games listed.
function fillNames() {
  const names = new Set();
  for (const game of state.games) {
    for (const seat of game.seats) {
      names.add(seat.name);
    }
  }
  $('#names').replaceChildren(...[...names].sort().map((name) => el('option', { value: name })));
}

// ---- One half-game ----

function signed(n) {
  return n > 0 ? `+${n}` : String(n);
}

function handRow(hand, seats, showDealer) {
  const cells = [el('td', { class: 'num' }, hand.number), el('td', {}, hand.title)];
  if (showDealer) {
    const dealer = seats.find((s) => s.seat === hand.dealer);
    cells.push(el('td', {}, dealer ? dealer.name : ''));
  }
  seats.forEach((seat, i) => {
    let change = 0;
    for (const c of hand.changes) {
      // By seat where the log tells it; by name where two seats share one.
      change += (c.seat != null ? c.seat === seat.seat : c.name === seat.name) ? c.change : 0;
    }
    const text = hand.resultParsed ? signed(change) : '?';
    const cell = el('td', { class: `num ${change > 0 ? 'plus' : change < 0 ? 'minus' : ''}` }, text);
    const after = Array.isArray(hand.pointsAfter) ? hand.pointsAfter[i] : null;
    if (after !== null && after !== undefined) {
      cell.append(el('span', { class: 'after' }, `→ ${after}`));
    }
    cells.push(cell);
  });
  const words = hand.resultParsed ? hand.yaku : `${hand.yaku}（${hand.result}）`;
  cells.push(el('td', {}, words));
  return el('tr', {}, ...cells);
}

function showGame(number) {
  busy('半荘を開いています…', () => {
    const result = paiviewOrShow(['show', ...logArgs(), String(number), '--format', 'json']);
    if (!result) {
      return;
    }
    const game = JSON.parse(result.out);
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
    $('#hands thead').replaceChildren(el('tr', {}, ...head.map((h) => el('th', {}, h))));
    $('#hands tbody').replaceChildren(...game.hands.map((h) => handRow(h, game.seats, showDealer)));
    $('#hands').dataset.count = String(game.hands.length);
    selectTab('game');
    setStatus(`半荘 ${game.number}：${game.hands.length} 局`);
    window.scrollTo(0, 0);
  });
}

// ---- Search ----

function search(event) {
  event.preventDefault();
  const form = $('#search').elements;
  busy('検索しています…', () => {
    const args = ['search', ...logArgs(), form.field.value, form.text.value, '--format', 'json'];
    const result = paiviewOrShow(args);
    const hits = result ? JSON.parse(result.out) : [];
    $('#search-count').textContent = result ? `${hits.length} 件` : '';
    $('#search-count').dataset.count = String(hits.length);
    $('#hits').replaceChildren(
      ...hits.map((hit) => {
        const where = `${hit.file}:${hit.line} 半荘 ${hit.game}` +
          (hit.hand === null ? '' : `、${hit.hand} 局目（${hit.title}）`);
        const item = el('li', { tabindex: '0' }, el('span', { class: 'where' }, where), hit.text);
        item.addEventListener('click', () => showGame(hit.game));
        return item;
      }),
    );
    setStatus(result ? `検索：${hits.length} 件` : '検索できませんでした。');
  });
}

// ---- Report ----

function report(event) {
  event.preventDefault();
  const player = $('#report').elements.player.value.trim();
  busy('レポートを作っています…', () => {
    freshOut();
    const args = ['report', ...logArgs(), '-o', `${OUT}/report.html`, ...filterArgs({ withPlayer: false })];
    if (player) {
      args.push('--player', player);
    }
    const result = paiviewOrShow(args);
    const frame = $('#report-frame');
    if (!result) {
      frame.hidden = true;
      $('#report-owner').textContent = '';
      $('#report-save').disabled = true;
      return;
    }
    state.report = state.paiview.FS.readFile(`${OUT}/report.html`);
    // "Wrote FILE: NAME, in N of M half-games"
    const line = result.out.trim();
    const [, whom, mine, all] = /^Wrote [^:]*: (.*), in (\d+) of (\d+) half-games$/.exec(line) || [];
    $('#report-owner').textContent = whom ? `${whom} の成績（${all} 半荘のうち ${mine}）` : line;
    $('#report-owner').dataset.player = whom || '';
    // The command escapes every text of the log; the frame runs no script either way.
    frame.srcdoc = utf8.decode(state.report);
    frame.hidden = false;
    $('#report-save').disabled = false;
    setStatus('レポートを作りました。');
  });
}

// ---- Export and downloads ----

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  state.urls.push(url);
  const link = el('a', { href: url, download: name }, name);
  $('#downloads').append(el('li', {}, link));
  return link;
}

function clearDownloads() {
  for (const url of state.urls) {
    URL.revokeObjectURL(url);
  }
  state.urls = [];
  $('#downloads').replaceChildren();
}

function exportAs(format) {
  busy('書き出しています…', () => {
    freshOut();
    clearDownloads();
    const target = format === 'csv' ? `${OUT}/csv` : `${OUT}/paiview.json`;
    const extra = format === 'csv' && $('#bom').checked ? ['--bom'] : [];
    const args = ['export', ...logArgs(), '--format', format, '-o', target, ...extra, ...filterArgs()];
    const result = paiviewOrShow(args);
    if (!result) {
      $('#export-done').textContent = '';
      return;
    }
    const fs = state.paiview.FS;
    const links = format === 'csv'
      ? ['games', 'seats', 'hands', 'deltas'].map((t) =>
        download(`${t}.csv`, fs.readFile(`${target}/${t}.csv`), 'text/csv'))
      : [download('paiview.json', fs.readFile(target), 'application/json')];
    // "exported N half-games, M hands to PATH"
    const [, games, hands] = /exported (\d+) half-games, (\d+) hands/.exec(result.out) || [];
    $('#export-done').textContent = `${games} 半荘、${hands} 局を書き出しました。`;
    if (links.length === 1) {
      links[0].click();
    }
    setStatus('書き出しました。リンクから保存できます。');
  });
}

// ---- Tabs and start ----

function selectTab(name) {
  for (const tab of document.querySelectorAll('.tab')) {
    tab.hidden = tab.id !== `tab-${name}`;
  }
  for (const button of document.querySelectorAll('#tabs button')) {
    button.setAttribute('aria-selected', String(button.dataset.tab === name));
  }
}

async function restart() {
  const files = state.files.map((name) => [name, state.paiview.FS.readFile(`${LOGS}/${name}`)]);
  state.paiview = await startPaiview(createPaiview, base64Bytes(PAIVIEW_WASM));
  state.paiview.FS.mkdir(LOGS);
  for (const [name, bytes] of files) {
    state.paiview.FS.writeFile(`${LOGS}/${name}`, bytes);
  }
}

function wire() {
  const drop = $('#drop');
  $('#file-input').addEventListener('change', (event) => addFiles(event.target.files));
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
  $('#salvage').addEventListener('change', refreshList);
  $('#filters').addEventListener('submit', (event) => {
    event.preventDefault();
    refreshList();
  });
  $('#filters').addEventListener('reset', () => setTimeout(refreshList, 0));
  $('#more').addEventListener('click', showMoreRows);
  $('#back').addEventListener('click', () => selectTab('list'));
  $('#search').addEventListener('submit', search);
  $('#report').addEventListener('submit', report);
  $('#report-save').addEventListener('click', () => {
    clearDownloads();
    download('report.html', state.report, 'text/html').click();
  });
  $('#export-csv').addEventListener('click', () => exportAs('csv'));
  $('#export-json').addEventListener('click', () => exportAs('json'));
  for (const button of document.querySelectorAll('#tabs button')) {
    button.addEventListener('click', () => selectTab(button.dataset.tab));
  }
}

async function start() {
  wire();
  try {
    state.paiview = await startPaiview(createPaiview, base64Bytes(PAIVIEW_WASM));
    state.paiview.FS.mkdir(LOGS);
    setStatus('牌譜ログを選んでください。');
    document.body.dataset.ready = 'true';
  } catch (error) {
    setStatus(`このブラウザでは動きません：${error}`);
  }
}

start();
