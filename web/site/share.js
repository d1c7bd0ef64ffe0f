// Share links: the puzzle's text, deflated and base64url-encoded, in the URL
// fragment, which the browser never sends to a server. "#p=DATA" carries the
// text; "&e=gbk" keeps a GBK puzzle GBK when the link is opened.

async function pipe(bytes, stream) {
  const out = new Response(new Blob([bytes]).stream().pipeThrough(stream));
  return new Uint8Array(await out.arrayBuffer());
}

function toBase64Url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The fragment (without '#') for a puzzle text and its encoding.
export async function shareFragment(text, encoding) {
  const packed = await pipe(new TextEncoder().encode(text), new CompressionStream('deflate-raw'));
  return 'p=' + toBase64Url(packed) + (encoding === 'gbk' ? '&e=gbk' : '');
}

// The puzzle a fragment carries, or null when it carries none or is damaged.
export async function readFragment(fragment) {
  const params = new URLSearchParams(fragment.replace(/^#/, ''));
  const data = params.get('p');
  if (!data) return null;
  try {
    const bytes = await pipe(fromBase64Url(data), new DecompressionStream('deflate-raw'));
    const text = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(bytes);
    return { text, encoding: params.get('e') === 'gbk' ? 'gbk' : 'utf-8' };
  } catch {
    return null;
  }
}
