// A static file server for the built site, on 127.0.0.1 only.
// Usage: node serve.mjs DIR [PORT]; port 0 picks a free one. Prints the URL.
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.tvk': 'text/plain',
};

export function serve(dir, port = 0) {
  const root = resolve(dir);
  const server = createServer((request, response) => {
    let file;
    try {
      file = normalize(join(root, decodeURIComponent(new URL(request.url, 'http://localhost').pathname)));
    } catch {
      file = '';
    }
    // Nothing outside the site's folder is served.
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) file = join(file, 'index.html');
      statSync(file);
    } catch {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
    });
    createReadStream(file).pipe(response);
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const server = await serve(process.argv[2] || '.', Number(process.argv[3] || 8080));
  console.log(`Serving ${resolve(process.argv[2] || '.')} at http://127.0.0.1:${server.address().port}/`);
}
