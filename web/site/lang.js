// The puzzle language as the editor sees it: the token classes of a line for
// highlighting (the interpreter's scanner rules: longest match wins, and a
// keyword wins over a name of the same length, so 存在性 and inside are
// names), and the compile-error lines of the interpreter's output.

const KEYWORDS = new Set(['in', 'output', '属于', '存在', '任意', '输出', '互不同']);

const isDigit = (c) => c >= '0' && c <= '9';
// The scanner reads bytes and takes every byte from 0x80 up as a letter; in
// the editor's characters that is every character beyond ASCII.
const isLetter = (c) => (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c === '_' || c.charCodeAt(0) >= 0x80;

function digits(s, i) {
  let n = 0;
  while (i + n < s.length && isDigit(s[i + n])) ++n;
  return n;
}

// Length of the number at `i`, 0 for none: an optional '-', then digits, or
// digits, '.', digits and an optional exponent, whichever is longer.
function numberLength(s, i) {
  let p = i;
  if (s[p] === '-') ++p;
  const whole = digits(s, p);
  let length = whole > 0 ? p + whole - i : 0;
  const point = p + whole;
  if (s[point] === '.') {
    const fraction = digits(s, point + 1);
    if (fraction > 0) {
      let end = point + 1 + fraction;
      // The exponent counts only when digits follow it.
      if (s[end] === 'e' || s[end] === 'E') {
        let e = end + 1;
        if (s[e] === '+' || s[e] === '-') ++e;
        const n = digits(s, e);
        if (n > 0) end = e + n;
      }
      length = end - i;
    }
  }
  return length;
}

// The highlighted tokens of one line as [class, start, length], class one of
// 'keyword', 'name', 'number', 'string', 'comment'; operators and blanks are
// not listed. `inComment` says whether the line starts inside a block
// comment; the result's `inComment` says whether it ends inside one. A block
// comment left open runs to the end of the text.
export function scanLine(s, inComment) {
  const tokens = [];
  let i = 0;
  if (inComment) {
    const close = s.indexOf('*/');
    if (close < 0) return { tokens: [['comment', 0, s.length]], inComment: true };
    tokens.push(['comment', 0, close + 2]);
    i = close + 2;
  }
  while (i < s.length) {
    const c = s[i];
    const next = s[i + 1];
    if (c === '/' && next === '/') {
      tokens.push(['comment', i, s.length - i]);
      break;
    }
    if (c === '/' && next === '*') {
      const close = s.indexOf('*/', i + 2);
      if (close < 0) {
        tokens.push(['comment', i, s.length - i]);
        return { tokens, inComment: true };
      }
      tokens.push(['comment', i, close + 2 - i]);
      i = close + 2;
      continue;
    }
    if (c === '"') {
      // A literal ends at its closing quote or, left open, at the line end.
      const close = s.indexOf('"', i + 1);
      const end = close < 0 ? s.length : close + 1;
      tokens.push(['string', i, end - i]);
      i = end;
      continue;
    }
    const number = numberLength(s, i);
    if (number > 0) {
      tokens.push(['number', i, number]);
      i += number;
      continue;
    }
    if (isLetter(c)) {
      let end = i + 1;
      while (end < s.length && (isLetter(s[end]) || isDigit(s[end]))) ++end;
      tokens.push([KEYWORDS.has(s.slice(i, end)) ? 'keyword' : 'name', i, end - i]);
      i = end;
      continue;
    }
    if (c === '@' || c === '#') tokens.push(['keyword', i, 1]);
    ++i;
  }
  return { tokens, inComment: false };
}

// The puzzle line of a compile-error line "N 行: message", or 0.
export function errorLine(line) {
  const m = /^(\d{1,9}) 行: /.exec(line);
  return m ? Number(m[1]) : 0;
}

// The interpreter prints this line before the search; every line of standard
// output after it is a solution line.
export const SEARCHING_LINE = '正在搜索……';
