// The WebAssembly build against the native one: every example and golden
// puzzle (each NAME.tvk with a NAME.out beside it, run with the options of its
// NAME.args if it has one) run by both, standard
// output compared byte for byte, exit status and standard error too; then a
// table of command-line options, and the cases only the browser build has.
// Usage: node compare.mjs NATIVE_TOVIK SITE_DIR REPOSITORY
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, relative, resolve } from 'node:path';
import test from 'node:test';

const [native, site, root] = process.argv.slice(2).map((arg) => resolve(arg));
const require = createRequire(import.meta.url);
const createTovik = require(join(site, 'tovik.js'));
const { runTovik } = require(join(site, 'run.js'));
const wasmModule = await WebAssembly.compile(readFileSync(join(site, 'tovik.wasm')));

// The native interpreter sees no forced encoding, as the page's does not.
const env = { ...process.env };
delete env.TOVIK_ENCODING;

function runNative(args, puzzle) {
  const r = spawnSync(native, puzzle ? [...args, puzzle] : args, { env, maxBuffer: 1 << 30 });
  return { stdout: r.stdout, stderr: r.stderr.toString(), status: r.status };
}

// `puzzle` is the file's bytes, or null to run without a puzzle argument.
async function runWasm(args, puzzle) {
  const stdout = [];
  const stderr = [];
  const status = await runTovik(createTovik, wasmModule, {
    args,
    puzzle,
    onStdout: (b) => stdout.push(b),
    onStderr: (b) => stderr.push(b),
  });
  return { stdout: Buffer.concat(stdout), stderr: Buffer.concat(stderr).toString(), status };
}

function puzzles(dir) {
  return readdirSync(dir, { recursive: true })
    .filter((f) => f.endsWith('.tvk') && readdirSync(join(dir, f, '..')).includes(f.split('/').pop().replace(/\.tvk$/, '.out')))
    .map((f) => join(dir, f))
    .sort();
}

function assertSame(web, nat, label) {
  assert.equal(web.status, nat.status, `${label}: exit status`);
  assert.ok(web.stdout.equals(nat.stdout), `${label}: standard output differs\n--- web\n${web.stdout}\n--- native\n${nat.stdout}`);
  assert.equal(web.stderr, nat.stderr, `${label}: standard error`);
}

// A golden case's options, one per line in NAME.args.
function caseArgs(path) {
  const file = path.replace(/\.tvk$/, '.args');
  return existsSync(file) ? readFileSync(file, 'utf8').split('\n').filter((a) => a !== '') : [];
}

// The browser build has no --fast search; the option table below checks what
// it does instead.
const all = [...puzzles(join(root, 'examples')), ...puzzles(join(root, 'tests/e2e/cases'))]
  .filter((path) => !caseArgs(path).includes('--fast'));

test(`every golden puzzle (${all.length}) gives the native bytes and status`, async (t) => {
  assert.ok(all.length > 100, 'the golden puzzles were not found');
  for (const path of all) {
    const name = relative(root, path);
    const args = caseArgs(path);
    // Messages that name the file name the page's copy of it (standard
    // output's bytes may be GBK: the path is replaced byte for byte).
    const nat = runNative(args, path);
    nat.stderr = nat.stderr.replaceAll(path, '/puzzle.tvk');
    nat.stdout = Buffer.from(nat.stdout.toString('latin1').replaceAll(path, '/puzzle.tvk'), 'latin1');
    await t.test(name, async () => assertSame(await runWasm(args, readFileSync(path)), nat, name));
  }
});

// [options, puzzle (null: none), options of the native run to compare with
// when they differ, text standard error must hold instead of the native one,
// a line only the browser build's standard output has]
const optionCases = [
  [['--count'], 'examples/zebra.tvk'],
  [['--limit', '2'], 'examples/queens.tvk'],
  [['--limit=0'], 'examples/queens.tvk'],
  [['--unique'], 'examples/worked.tvk'],
  [['--unique'], 'examples/zebra.tvk'],
  [['--time-limit', '0'], 'examples/sendmore.tvk'],
  [['--limit', 'x'], 'examples/worked.tvk'],
  [['--help'], null, null, null, '                        (not available in this build: always the default way)\n'],
  [['--version'], null],
  [[], null],
  [['/no/such/file.tvk'], null],
  // The browser build has no --fast search: it says so and searches the
  // default way.
  [['--fast'], 'examples/sendmore.tvk', [], 'not available'],
];

test('command-line options', async (t) => {
  for (const [args, puzzle, nativeArgs, note, webOnlyLine] of optionCases) {
    const label = `${args.join(' ') || '(none)'} ${puzzle || ''}`;
    await t.test(label, async () => {
      const path = puzzle && join(root, puzzle);
      const web = await runWasm(args, path && readFileSync(path));
      const nat = runNative(nativeArgs || args, path);
      if (note) {
        assert.ok(web.stderr.includes(note), `${label}: ${web.stderr}`);
        web.stderr = nat.stderr;
      }
      if (webOnlyLine) {
        const text = web.stdout.toString();
        assert.ok(text.includes(webOnlyLine), `${label}: no line "${webOnlyLine.trim()}"`);
        web.stdout = Buffer.from(text.replace(webOnlyLine, ''));
      }
      assertSame(web, nat, label);
    });
  }
});

// The JavaScript engine's stack is far smaller than the native one: a chain
// that deep ends with a message and status 2, after the output so far.
test('nesting too deep for the stack ends cleanly', async () => {
  const chain = `S{} = {[1, 3]};\nS a;\n${Array(200000).fill('a').join(' + ')} = 400000;\noutput {a}\n`;
  const web = await runWasm([], new TextEncoder().encode(chain));
  assert.equal(web.status, 2);
  assert.match(web.stderr, /nests too deeply/);
  assert.ok(web.stdout.equals(runNative([], join(root, 'examples/worked.tvk')).stdout.subarray(0, 14)));
});
