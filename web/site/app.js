// The playground page: loads the compiled interpreter once, runs each puzzle
// in a new worker, and wires the editor, the output pane, the status line,
// files, examples and share links together. After loading it needs no
// network: the worker is made from scripts already fetched, and the
// examples come in one file.
import { PuzzleEditor } from './editor.js';
import { OutputView } from './output.js';
import { readFragment, shareFragment } from './share.js';
import { decodePuzzle, detectEncoding, encodePuzzle } from './text.js';

const $ = (id) => document.getElementById(id);

const editor = new PuzzleEditor($('editor'));
const output = new OutputView($('output'), $('output-note'), (line) => editor.revealLine(line));

// The document in the editor: its file name and the encoding it is saved in.
const doc = { name: 'puzzle.tvk', encoding: 'utf-8' };
// The compiled interpreter and the worker script, fetched once.
let wasmModule = null;
let workerUrl = null;
// The run in progress, if any.
let run = null;

function setState(state, text) {
  document.body.dataset.state = state;
  $('state').textContent = text;
}

function say(message) {
  $('message').textContent = message;
}

function showDocument() {
  $('document').textContent = `${doc.name} · ${doc.encoding === 'gbk' ? 'GBK' : 'UTF-8'}`;
}

function openText(text, name, encoding) {
  editor.text = text;
  doc.name = name;
  doc.encoding = encoding;
  showDocument();
  editor.focus();
}

function openBytes(bytes, name) {
  const { text, encoding } = decodePuzzle(bytes);
  openText(text, name, encoding);
}

// ---- running ----

function runArguments() {
  const args = [];
  if ($('count').checked) args.push('--count');
  const limit = $('limit').value.trim();
  if (limit !== '') args.push('--limit', limit);
  const seconds = $('time-limit').value.trim();
  if (seconds !== '') args.push('--time-limit', seconds);
  return args;
}

// The status line during a run, every tenth of a second.
function showProgress() {
  $('elapsed').textContent = `${((performance.now() - run.started) / 1000).toFixed(1)} s`;
  const n = output.solutions;
  $('solutions').textContent = `${n.toLocaleString('en')} solution line${n === 1 ? '' : 's'}`;
}

// The state a finished run leaves, from its exit status and its output.
function endState(status) {
  if (status === 0) return ['done', 'Done'];
  if (status === 124) return ['done', 'Time limit reached'];
  if (status === 1 && output.errors.length) return ['failed', output.errors.length === 1 ? 'Compile error' : 'Compile errors'];
  return ['failed', `Failed (exit status ${status})`];
}

function finishRun(state, text) {
  run.worker.terminate();
  clearInterval(run.ticker);
  run.ended = performance.now();
  output.finish();
  showProgress();
  $('elapsed').textContent = `${((run.ended - run.started) / 1000).toFixed(2)} s`;
  setState(state, text);
  if (output.errors.length) {
    editor.setErrors(output.errors);
    editor.revealLine(output.errors[0]);
  }
  $('run').disabled = false;
  $('stop').disabled = true;
  $('download').disabled = false;
  run = null;
}

function startRun() {
  if (run || !wasmModule) return;
  const encoded = encodePuzzle(editor.text, doc.encoding);
  say(encoded.encoding !== doc.encoding ? 'Run as UTF-8: the text has characters that GBK cannot hold.' : '');
  // UTF-8 is run with a byte-order mark, so that the interpreter reads it as
  // UTF-8 whatever characters it holds; it answers in that encoding.
  let bytes = encoded.bytes;
  if (encoded.encoding === 'utf-8') {
    bytes = new Uint8Array(encoded.bytes.length + 3);
    bytes.set([0xef, 0xbb, 0xbf]);
    bytes.set(encoded.bytes, 3);
  }
  output.reset(detectEncoding(bytes));
  editor.setErrors([]);
  const worker = new Worker(workerUrl);
  run = { worker, started: performance.now(), ticker: setInterval(showProgress, 100) };
  worker.onmessage = ({ data }) => {
    if (data.type === 'exit') finishRun(...endState(data.status));
    else output.write(data.type, data.bytes);
  };
  worker.onerror = (event) => {
    event.preventDefault();
    output.write('stderr', new TextEncoder().encode(`${event.message}\n`));
    finishRun('failed', 'Failed');
  };
  worker.postMessage({ wasmModule, args: runArguments(), puzzle: bytes }, [bytes.buffer]);
  setState('running', 'Running…');
  $('run').disabled = true;
  $('stop').disabled = false;
  $('download').disabled = true;
  showProgress();
}

function stopRun() {
  if (run) finishRun('stopped', 'Stopped');
}

// ---- files, examples, links ----

function download(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

function save() {
  const { bytes, encoding } = encodePuzzle(editor.text, doc.encoding);
  download(new Blob([bytes], { type: 'text/plain' }), doc.name);
  say(encoding === doc.encoding
    ? `Saved ${doc.name} (${encoding === 'gbk' ? 'GBK' : 'UTF-8'}).`
    : `Saved ${doc.name} as UTF-8: the text has characters that GBK cannot hold.`);
}

async function openFile(file) {
  openBytes(new Uint8Array(await file.arrayBuffer()), file.name);
  say(`Opened ${file.name}.`);
}

async function share() {
  const fragment = await shareFragment(editor.text, doc.encoding);
  history.replaceState(null, '', '#' + fragment);
  try {
    await navigator.clipboard.writeText(location.href);
    say('Link copied: it holds the whole puzzle.');
  } catch {
    say('The link in the address bar holds the whole puzzle.');
  }
}

// A link opens its puzzle without running it.
async function openFragment() {
  const shared = await readFragment(location.hash);
  if (shared) openText(shared.text, 'shared.tvk', shared.encoding);
  else if (location.hash.length > 1) say('The link holds no readable puzzle.');
  return shared !== null;
}

function fillExamples(examples) {
  const select = $('examples');
  const groups = new Map();
  examples.forEach((example, index) => {
    if (!groups.has(example.group)) {
      const group = document.createElement('optgroup');
      group.label = example.group;
      groups.set(example.group, group);
      select.append(group);
    }
    groups.get(example.group).append(new Option(example.name, String(index)));
  });
  select.addEventListener('change', () => {
    const example = examples[Number(select.value)];
    select.value = '';
    if (!example) return;
    openBytes(Uint8Array.from(atob(example.data), (c) => c.charCodeAt(0)), example.name);
  });
  return examples;
}

// ---- wiring ----

$('run').addEventListener('click', startRun);
$('stop').addEventListener('click', stopRun);
$('save').addEventListener('click', save);
$('open').addEventListener('click', () => $('file').click());
$('file').addEventListener('change', () => {
  const file = $('file').files[0];
  $('file').value = '';
  if (file) openFile(file);
});
$('share').addEventListener('click', share);
$('download').addEventListener('click', () => download(output.blob(), doc.name.replace(/\.[^.]*$/, '') + '.out'));
$('editor').addEventListener('dragover', (event) => event.preventDefault());
$('editor').addEventListener('drop', (event) => {
  const file = event.dataTransfer.files[0];
  if (!file) return;
  event.preventDefault();
  openFile(file);
});
window.addEventListener('hashchange', openFragment);
editor.onChange(() => say(''));

// Each returns false when it did nothing, so that the key keeps its usual effect.
const shortcuts = {
  'ctrl+Enter': startRun,
  Escape: () => run !== null && (stopRun(), true),
  'ctrl+o': () => $('file').click(),
  'ctrl+s': save,
  'ctrl+shift+L': share,
  'ctrl+shift+S': () => !$('download').disabled && ($('download').click(), true),
};
document.addEventListener('keydown', (event) => {
  const key = (event.ctrlKey || event.metaKey ? 'ctrl+' : '') + (event.shiftKey && event.key.length === 1 ? 'shift+' : '') + event.key;
  const action = shortcuts[key];
  if (action && action() !== false) event.preventDefault();
});

async function fetchOk(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  return response;
}

async function start() {
  const began = performance.now();
  setState('loading', 'Loading…');
  const [wasm, scripts, examples] = await Promise.all([
    fetchOk('tovik.wasm').then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b)),
    Promise.all(['tovik.js', 'run.js', 'worker.js'].map((url) => fetchOk(url).then((r) => r.text()))),
    fetchOk('examples.json').then((r) => r.json()),
  ]);
  wasmModule = wasm;
  workerUrl = URL.createObjectURL(new Blob([scripts.join('\n;\n')], { type: 'text/javascript' }));
  fillExamples(examples);
  if (!(await openFragment())) {
    const first = examples.find((e) => e.name === 'worked.tvk') || examples[0];
    if (first) openBytes(Uint8Array.from(atob(first.data), (c) => c.charCodeAt(0)), first.name);
  }
  $('run').disabled = false;
  setState('ready', 'Ready');
  say(`Loaded in ${Math.round(performance.now() - began)} ms.`);
  editor.focus();
}

showDocument();
start().catch((error) => {
  setState('failed', 'Could not load the interpreter');
  say(String(error));
});
