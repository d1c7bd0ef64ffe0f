// The page's text handling without a browser: highlighting tokens in both
// keyword spellings, the encoding decision, GBK written back byte for byte,
// and share links.
// Usage: node page.test.mjs REPOSITORY
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import test from 'node:test';
import { errorLine, scanLine } from '../site/lang.js';
import { readFragment, shareFragment } from '../site/share.js';
import { decodePuzzle, detectEncoding, encodePuzzle } from '../site/text.js';

const root = process.argv[2] || '.';

// Lines scanned in order, the comment state carried from one to the next;
// tokens written as K(in) N(x) 9(12) S("a") C(// c). The desktop editor's
// highlighter follows the same rules.
const scans = [
  ['# x in S: @ y in T: output {x}', 'K(#) N(x) K(in) N(S) K(@) N(y) K(in) N(T) K(output) N(x)'],
  ['inside output2 In Output _in', 'N(inside) N(output2) N(In) N(Output) N(_in)'],
  ['任意 x 属于 S: 存在 y 属于 T: 互不同(x, y); 输出{x}',
    'K(任意) N(x) K(属于) N(S) K(存在) N(y) K(属于) N(T) K(互不同) N(x) N(y) K(输出) N(x)'],
  ['存在性 输出x 名次', 'N(存在性) N(输出x) N(名次)'],
  ['12 -.5 1.5E+3 12. 1e3 4.5e x-1 a->b', '9(12) 9(-.5) 9(1.5E+3) 9(12) 9(1) N(e3) 9(4.5) N(e) N(x) 9(-1) N(a) N(b)'],
  ['"甲" "a // b /* c" x // 注释 "s" in', 'S("甲") S("a // b /* c") N(x) C(// 注释 "s" in)'],
  ['"open in', 'S("open in)'],
  ['a /* b "c" in * / */ 输出 /**/ d', 'N(a) C(/* b "c" in * / */) K(输出) C(/**/) N(d)'],
  ['x /* open "q', 'N(x) C(/* open "q)'],
  ['in 12 // "', 'C(in 12 // ")'],
  ['end */ 存在 y', 'C(end */) K(存在) N(y)'],
];

test('highlighting tokens', () => {
  let inComment = false;
  for (const [line, expected] of scans) {
    const scanned = scanLine(line, inComment);
    inComment = scanned.inComment;
    const tokens = scanned.tokens.map(([cls, start, length]) =>
      `${{ keyword: 'K', name: 'N', number: '9', string: 'S', comment: 'C' }[cls]}(${line.slice(start, start + length)})`);
    assert.equal(tokens.join(' '), expected, line);
  }
});

test('error lines of the output', () => {
  for (const [line, n] of [['3 行: 集合已经定义 ', 3], ['12 行: parse error ', 12], ['x 行: a', 0], ['甲:1, 乙:2', 0], ['1234567890 行: a', 0]])
    assert.equal(errorLine(line), n, line);
});

test('encoding of puzzle bytes', () => {
  const cases = [
    [[0x61, 0x3b], 'gbk'], // ASCII alone is read as GBK, as the interpreter does
    [[0xef, 0xbb, 0xbf, 0x61], 'utf-8'],
    [[0xe4, 0xbb, 0xbb, 0xe6, 0x84, 0x8f], 'utf-8'],
    [[0xc8, 0xce, 0xd2, 0xe2], 'gbk'],
    [[0xc0, 0xaf], 'gbk'], // overlong
    [[0xed, 0xa0, 0x80], 'gbk'], // a surrogate
    [[0xe4, 0xbb], 'gbk'], // cut short
  ];
  for (const [bytes, encoding] of cases) assert.equal(detectEncoding(Uint8Array.from(bytes)), encoding, bytes.join(' '));
});

test('every example reads and writes back byte for byte', () => {
  const dirs = [join(root, 'examples'), join(root, 'examples/guide')];
  const files = dirs.flatMap((dir) => readdirSync(dir).filter((n) => n.endsWith('.tvk')).map((n) => join(dir, n)));
  assert.ok(files.some((f) => detectEncoding(readFileSync(f)) === 'gbk' && readFileSync(f).some((b) => b >= 0x80)));
  for (const file of files) {
    const bytes = readFileSync(file);
    const { text, encoding } = decodePuzzle(bytes);
    const saved = encodePuzzle(text, encoding);
    assert.equal(saved.encoding, encoding, file);
    assert.ok(Buffer.from(saved.bytes).equals(bytes), file);
  }
  // A GBK puzzle given a character GBK has no code for is written as UTF-8.
  assert.equal(encodePuzzle('输出{"😀"}', 'gbk').encoding, 'utf-8');
});

test('share links carry the text exactly', async () => {
  const texts = ['', 'x', '任意 x 属于 S:\tx != 1;\r\n\n  "😀" é ', '\ufeffa BOM first', 'N{} = {1, 2};\n'.repeat(2000)];
  for (const text of texts) {
    for (const encoding of ['utf-8', 'gbk']) {
      const fragment = await shareFragment(text, encoding);
      assert.match(fragment, /^p=[A-Za-z0-9_-]*(&e=gbk)?$/);
      assert.deepEqual(await readFragment('#' + fragment), { text, encoding });
    }
  }
  assert.ok((await shareFragment('N{} = {1, 2};\n'.repeat(2000), 'utf-8')).length < 200, 'the text is compressed');
  for (const broken of ['', '#', '#p=', '#p=AAAA', '#p=!!', '#other=1']) assert.equal(await readFragment(broken), null, broken);
});
