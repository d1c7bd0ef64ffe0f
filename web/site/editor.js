// The puzzle editor: a plain textarea for typing (so undo, selection, input
// methods and the clipboard are the browser's own) over a highlighted copy
// of its text, with a gutter of line numbers. Compile errors mark their line
// in the gutter and across the text until the text changes.
import { scanLine } from './lang.js';

// Lines painted above and below the ones in view.
const WINDOW_MARGIN = 40;
// Longer lines are shown without colours: painting hundreds of thousands of
// tokens would stall the page, and such lines are written by programs.
const LONG_LINE = 20000;

const escapeHtml = (s) => s.replace(/[&<>]/g, (c) => ({ '&': '&amp;', '<': '&lt;', '>': '&gt;' })[c]);

export class PuzzleEditor {
  constructor(root) {
    root.classList.add('editor');
    root.innerHTML =
      '<div class="gutter" aria-hidden="true"><div class="gutter-lines"></div></div>' +
      '<div class="code"><div class="highlight" aria-hidden="true"></div>' +
      '<textarea spellcheck="false" autocapitalize="off" autocomplete="off" wrap="off" ' +
      'aria-label="Puzzle text"></textarea></div>';
    this.gutter = root.querySelector('.gutter-lines');
    this.highlight = root.querySelector('.highlight');
    this.textarea = root.querySelector('textarea');
    this.errors = new Set();
    this.listeners = [];
    this.frame = 0;
    this.offset = 0;
    this.textarea.addEventListener('input', () => {
      this.errors.clear();
      this.schedule();
      for (const listener of this.listeners) listener();
    });
    this.textarea.addEventListener('scroll', () => this.paintWindow());
    this.textarea.addEventListener('keydown', (event) => {
      // Tab types a tab, as in the desktop editor; Shift+Tab still leaves.
      if (event.key === 'Tab' && !event.shiftKey && !event.ctrlKey && !event.altKey) {
        event.preventDefault();
        document.execCommand('insertText', false, '\t');
      }
    });
    this.render();
  }

  get text() {
    return this.textarea.value;
  }

  // Replaces the whole text (a file, an example or a link was opened).
  set text(value) {
    this.textarea.value = value;
    this.textarea.setSelectionRange(0, 0);
    this.textarea.scrollTop = 0;
    this.errors.clear();
    this.render();
  }

  onChange(listener) {
    this.listeners.push(listener);
  }

  focus() {
    this.textarea.focus();
  }

  // Marks the given puzzle lines (1-based) as holding compile errors.
  setErrors(lines) {
    this.errors = new Set(lines);
    this.paintWindow();
  }

  // Selects line `n` and scrolls it into view.
  revealLine(n) {
    const lines = this.text.split('\n');
    const line = Math.min(Math.max(n, 1), lines.length);
    let start = 0;
    for (let i = 0; i < line - 1; ++i) start += lines[i].length + 1;
    this.textarea.focus();
    this.textarea.setSelectionRange(start, start + lines[line - 1].length);
    const lineHeight = parseFloat(getComputedStyle(this.textarea).lineHeight);
    const top = (line - 1) * lineHeight;
    if (top < this.textarea.scrollTop || top + lineHeight > this.textarea.scrollTop + this.textarea.clientHeight)
      this.textarea.scrollTop = Math.max(0, top - this.textarea.clientHeight / 3);
    this.paintWindow();
  }

  schedule() {
    if (!this.frame) this.frame = requestAnimationFrame(() => this.render());
  }

  // Highlights the lines in view. Every line is scanned, since a block
  // comment opened on one line colours the lines after it, but only the
  // lines in view (and a margin) are put into the page, so a file of
  // 100,000 lines edits as fast as one of ten.
  render() {
    this.frame = 0;
    this.lines = this.text.split('\n');
    this.starts = new Array(this.lines.length);
    let inComment = false;
    this.lines.forEach((line, index) => {
      this.starts[index] = inComment;
      inComment = scanLine(line, inComment).inComment;
    });
    this.paintWindow();
  }

  paintWindow() {
    const lineHeight = parseFloat(getComputedStyle(this.textarea).lineHeight) || 20;
    const first = Math.max(0, Math.floor(this.textarea.scrollTop / lineHeight) - WINDOW_MARGIN);
    const last = Math.min(this.lines.length, first + Math.ceil(this.textarea.clientHeight / lineHeight) + 2 * WINDOW_MARGIN);
    const html = [];
    const numbers = [];
    for (let index = first; index < last; ++index) {
      const line = this.lines[index];
      let out = '';
      if (line.length > LONG_LINE) {
        out = escapeHtml(line);
      } else {
        let at = 0;
        for (const [cls, start, length] of scanLine(line, this.starts[index]).tokens) {
          out += escapeHtml(line.slice(at, start));
          out += `<span class="t-${cls}">${escapeHtml(line.slice(start, start + length))}</span>`;
          at = start + length;
        }
        out += escapeHtml(line.slice(at));
      }
      const error = this.errors.has(index + 1);
      html.push(`<div class="line${error ? ' error-line' : ''}">${out}</div>`);
      numbers.push(`<div${error ? ' class="error-mark" title="compile error"' : ''}>${index + 1}</div>`);
    }
    this.highlight.innerHTML = html.join('');
    this.gutter.innerHTML = numbers.join('');
    this.offset = first * lineHeight;
    this.follow();
  }

  // The highlighted copy and the gutter move with the textarea's scrolling.
  follow() {
    const { scrollLeft, scrollTop } = this.textarea;
    this.highlight.style.transform = `translate(${-scrollLeft}px, ${this.offset - scrollTop}px)`;
    this.gutter.style.transform = `translateY(${this.offset - scrollTop}px)`;
  }
}
