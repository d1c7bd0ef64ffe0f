// Puzzle bytes and text: which encoding a file is in (the interpreter's own
// rule), decoding it for the editor, and encoding the editor's text back to
// the same encoding for a run or a save. Used by the page and by the tests.

// Length of the valid UTF-8 sequence at `i`, or 0 when there is none.
function sequenceLength(bytes, i) {
  const c = bytes[i];
  if (c < 0x80) return 1;
  let length, code, min;
  if (c >= 0xc2 && c <= 0xdf) [length, code, min] = [2, c & 0x1f, 0x80];
  else if (c >= 0xe0 && c <= 0xef) [length, code, min] = [3, c & 0x0f, 0x800];
  else if (c >= 0xf0 && c <= 0xf4) [length, code, min] = [4, c & 0x07, 0x10000];
  else return 0;
  if (i + length > bytes.length) return 0;
  for (let k = 1; k < length; ++k) {
    if ((bytes[i + k] & 0xc0) !== 0x80) return 0;
    code = (code << 6) | (bytes[i + k] & 0x3f);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
  return length;
}

// A puzzle is UTF-8 when it starts with a byte-order mark or is valid UTF-8
// holding at least one multi-byte sequence, and GBK otherwise: the same
// decision the interpreter makes, so the page decodes its output right.
export function detectEncoding(bytes) {
  if (bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) return 'utf-8';
  let multiByte = false;
  for (let i = 0; i < bytes.length; ) {
    const length = sequenceLength(bytes, i);
    if (length === 0) return 'gbk';
    multiByte ||= length > 1;
    i += length;
  }
  return multiByte ? 'utf-8' : 'gbk';
}

// The text of a puzzle file and the encoding it was read in.
export function decodePuzzle(bytes) {
  const encoding = detectEncoding(bytes);
  return { text: new TextDecoder(encoding).decode(bytes), encoding };
}

// The GBK encoder, built once from the platform's GBK decoder: every
// two-byte code decoded, and the mapping turned round.
let gbkTable = null;
function gbkCodes() {
  if (gbkTable) return gbkTable;
  gbkTable = new Map();
  const decoder = new TextDecoder('gbk', { fatal: true });
  const pair = new Uint8Array(2);
  for (let lead = 0x81; lead <= 0xfe; ++lead) {
    for (let trail = 0x40; trail <= 0xfe; ++trail) {
      if (trail === 0x7f) continue;
      pair[0] = lead;
      pair[1] = trail;
      let ch;
      try {
        ch = decoder.decode(pair);
      } catch {
        continue;
      }
      // The first code wins where two decode to the same character.
      if (ch.length === 1 && ch !== '\ufffd' && !gbkTable.has(ch)) gbkTable.set(ch, (lead << 8) | trail);
    }
  }
  return gbkTable;
}

// The text as GBK bytes, or null when some character has no GBK code.
export function encodeGbk(text) {
  const codes = gbkCodes();
  const out = new Uint8Array(text.length * 2);
  let n = 0;
  for (const ch of text) {
    const cp = ch.codePointAt(0);
    if (cp < 0x80) {
      out[n++] = cp;
      continue;
    }
    const code = codes.get(ch);
    if (code === undefined) return null;
    out[n++] = code >> 8;
    out[n++] = code & 0xff;
  }
  return out.subarray(0, n);
}

// The bytes of the editor's text in the document's encoding. A GBK document
// holding a character GBK cannot write is saved as UTF-8 instead; the result
// says which encoding was used.
export function encodePuzzle(text, encoding) {
  if (encoding === 'gbk') {
    const bytes = encodeGbk(text);
    if (bytes) return { bytes, encoding: 'gbk' };
  }
  return { bytes: new TextEncoder().encode(text), encoding: 'utf-8' };
}
